#include "cli/CliCommands.h"

#include "app/Version.h"
#include "cli/CommandTable.h"
#include "store/KalvorError.h"

#include <cstdio>

namespace kalvor::cli {
namespace {

void printUsage(std::FILE *stream)
{
    const QStringList lines = synopsis();
    QString text = QStringLiteral("Использование: ") + lines.join(QStringLiteral("\n               "))
        + QStringLiteral("\n\nКоманды:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1\n      %2\n").arg(command.usage, command.summary);
    std::fputs(text.toUtf8().constData(), stream);
}

} // namespace

void printError(const QString &message)
{
    std::fputs(QStringLiteral("kalvor-cli: %1\n").arg(message).toUtf8().constData(), stderr);
}

bool needsFonts(const QStringList &arguments)
{
    QStringList rest = arguments.mid(1);
    while (!rest.isEmpty() && rest.first().startsWith(u"--"))
        if (rest.takeFirst() == u"--home" && !rest.isEmpty())
            rest.removeFirst();
    if (rest.isEmpty())
        return false;
    for (const Command &command : commands())
        if (command.name == rest.first())
            return command.fonts;
    return false;
}

int run(const QStringList &arguments)
{
    Options options;
    QStringList rest = arguments.mid(1);
    while (!rest.isEmpty() && rest.first().startsWith(u"--")) {
        const QString option = rest.takeFirst();
        if (option == u"--help") {
            printUsage(stdout);
            return 0;
        }
        if (option == u"--version") {
            std::printf("kalvor-cli %s\n", versionText().toUtf8().constData());
            return 0;
        }
        if (option == u"--home" && !rest.isEmpty()) {
            options.home = rest.takeFirst();
            continue;
        }
        printError(QStringLiteral("неизвестный параметр %1 (см. kalvor-cli --help)").arg(option));
        return 2;
    }
    if (rest.isEmpty()) {
        printUsage(stderr);
        return 2;
    }
    const QString name = rest.takeFirst();
    for (const Command &command : commands()) {
        if (command.name != name)
            continue;
        if (rest.contains(QStringLiteral("--help"))) {
            std::printf("Использование: kalvor-cli %s\n%s\n", command.usage.toUtf8().constData(),
                        command.summary.toUtf8().constData());
            return 0;
        }
        try {
            return command.run(options, rest);
        } catch (const KalvorError &e) {
            printError(e.message());
            return 1;
        } catch (const std::exception &e) {
            printError(QString::fromLocal8Bit(e.what()));
            return 1;
        }
    }
    printError(QStringLiteral("неизвестная команда %1 (см. kalvor-cli --help)").arg(name));
    return 2;
}

} // namespace kalvor::cli
