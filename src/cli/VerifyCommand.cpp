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
                bool passed = false;
                const QString line = period::verifyFolderLine(folder, &passed);
                std::printf("%s\n", line.toUtf8().constData());
                allPassed = allPassed && passed;
            }
            std::fflush(stdout);
            return allPassed ? 0 : 1;
        }};
}

} // namespace kalvor::cli
