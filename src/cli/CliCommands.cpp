#include "cli/CliCommands.h"

#include "app/Version.h"
#include "cli/CommandTable.h"
#include "store/EscapedText.h"
#include "store/KalvorError.h"

#include <cstdio>

namespace kalvor::cli {
namespace {

void printUsage(std::FILE *stream)
{
    const QStringList lines = synopsis();
    for (qsizetype i = 0; i < lines.size(); ++i)
        printLine((i == 0 ? QStringLiteral("Использование: ") : QStringLiteral("               ")) + lines[i], stream);
    printLine(QString(), stream);
    printLine(QStringLiteral("Команды:"), stream);
    for (const Command &command : commands()) {
        printLine(QStringLiteral("  ") + command.usage, stream);
        printLine(QStringLiteral("      ") + command.summary, stream);
    }
}

} // namespace

void printLine(const QStringList &fields, std::FILE *stream)
{
    std::string line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += '\t';
        line += escapedUtf8(fields[i]);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stream);
}

void printLine(const QString &text, std::FILE *stream) { printLine(QStringList{text}, stream); }

void printError(const QString &message) { printLine(QStringLiteral("kalvor-cli: %1").arg(message), stderr); }

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
            printLine(QStringLiteral("kalvor-cli ") + versionText());
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
            printLine(QStringLiteral("Использование: kalvor-cli ") + command.usage);
            printLine(command.summary);
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
