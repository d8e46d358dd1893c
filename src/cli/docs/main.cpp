// Writes the man page or the bash completion of kalvor-cli from its command table; the build runs it so
// the installed documents always list the commands the program has.
#include "app/Version.h"
#include "cli/docs/BashCompletion.h"
#include "cli/docs/ManPage.h"

#include <QCoreApplication>
#include <QSaveFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3 || (args[1] != u"man" && args[1] != u"bash-completion")) {
        std::fputs("usage: kalvor-cli-docs man|bash-completion FILE\n", stderr);
        return 2;
    }
    using namespace kalvor::cli;
    const QString text = args[1] == u"man" ? manPage(commands(), kalvor::versionText()) : bashCompletion(commands());
    QSaveFile file(args[2]);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        std::fprintf(stderr, "kalvor-cli-docs: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
