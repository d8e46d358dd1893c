#include "cli/WorkspacePeriod.h"

#include "period/Merge.h"

#include <cstdio>

namespace kalvor::cli {

Command mergeCommand()
{
    return {
        QStringLiteral("merge"), QStringLiteral("merge --add ФАЙЛ | --replace ФАЙЛ"),
        QStringLiteral("--add добавляет строки декларации ФАЙЛ к декларации текущего периода (ключи получают "
                       "ИНН и период текущего отчета, накладные нумеруются после последней); --replace заменяет "
                       "декларацию текущего периода файлом без изменений. Прежняя декларация сохраняется в backup/"),
        [](const Options &options, const QStringList &args) {
            if (args.size() != 2 || (args[0] != u"--add" && args[0] != u"--replace")) {
                printError(
                    QStringLiteral("использование: kalvor-cli [--home ПАПКА] merge --add ФАЙЛ | --replace ФАЙЛ"));
                return 2;
            }
            PeriodWorkspace workspace(options, Access::Write);
            TAppSettings &settings = workspace.settings;
            const period::MergeResult result = args[0] == u"--add" ? period::addDeclaration(settings, args[1])
                                                                   : period::replaceDeclaration(settings, args[1]);
            printLine(result.message);
            return 0;
        }};
}

} // namespace kalvor::cli
