#include "cli/WorkspacePeriod.h"

#include "sheets/SheetExport.h"
#include "sheets/calc/CalcExport.h"

#include <QDir>
#include <QFileInfo>

namespace kalvor::cli {

Command exportCalcCommand()
{
    const QString usage = QStringLiteral("export-calc ВЫХОД.ods|ВЫХОД.xlsx|ВЫХОД.xls");
    return {QStringLiteral("export-calc"), usage,
            QStringLiteral("Раскладывает декларацию текущего периода в LibreOffice Calc на шаблон "
                           "templates/tamrel_oo.xls и сохраняет документ (.xls в формате MS Excel 97, не больше 65536 строк, "
                           ".xlsx в формате Excel 2007-365, иначе ODF); "
                           "итоги периода сохраняет в tamrel.ini, строки без накладной перечисляет в error.log"),
            [usage](const Options &options, const QStringList &args) {
                if (args.size() != 1 || args.front().startsWith(u"--")) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] ") + usage);
                    return 2;
                }
                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                const sheets::SheetExportPlan plan =
                    sheets::planSheetExport(settings, QString::fromLatin1(sheets::calc::kCalcTemplate));
                sheets::calc::CalcTarget target;
                target.storeAs = QFileInfo(args.front()).absoluteFilePath();
                const sheets::calc::CalcExportResult result =
                    sheets::calc::exportDeclarationToCalc(plan, target, {}, printError);
                sheets::storePeriodTotals(settings.FIniFile, plan.periodString, result.periodTotal);
                printLine(QStringLiteral("Декларация за %1 выгружена через LibreOffice Calc в %2: строк таблицы %3, "
                                         "без накладной %4")
                              .arg(plan.periodDate, QDir::toNativeSeparators(args.front()))
                              .arg(result.rowsRead)
                              .arg(result.rowsMissingInvoice));
                return 0;
            }};
}

} // namespace kalvor::cli
