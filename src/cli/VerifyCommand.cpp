#include "cli/CommandTable.h"

#include "period/ReportFolder.h"

#include <cstdio>

namespace kalvor::cli {

Command verifyCommand()
{
    return {
        QStringLiteral("verify"), QStringLiteral("verify ПАПКА..."),
        QStringLiteral("Проверяет папки сданных отчетов (ГГГГММ с декларацией и сведениями о калворе): по строке на "
                       "папку, папка, TAB и сообщения через \"; \". Код 0, только когда все проверки успешны; "
                       "рабочая папка не используется и не меняется"),
        [](const Options &, const QStringList &args) {
            if (args.isEmpty()) {
                printError(QStringLiteral("использование: kalvor-cli verify ПАПКА..."));
                return 2;
            }
            bool allPassed = true;
            for (const QString &folder : args) {
                // Folder names and messages are escaped apart, so a value cannot forge a line of its own; a
                // message of several lines goes on the folder's line.
                const period::Verification verification = period::verifyFolder(folder);
                const QString messages = verification.messages.join(QStringLiteral("; "));
                printLine({folder, QString(messages).replace(u'\n', QStringLiteral("; "))});
                allPassed = allPassed && verification.success;
            }
            std::fflush(stdout);
            return allPassed ? 0 : 1;
        }};
}

} // namespace kalvor::cli
