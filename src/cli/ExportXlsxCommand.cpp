#include "cli/WorkspacePeriod.h"

#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"

#include <QDir>


namespace kalvor::cli {

Command exportXlsxCommand()
{
    return {QStringLiteral("export-xlsx"), QStringLiteral("export-xlsx ВЫХОД.xlsx"),
            QStringLiteral("Раскладывает декларацию текущего периода на шаблон templates/tamrel.xlsx и записывает "
                           "книгу; итоги периода сохраняет в tamrel.ini, строки без накладной перечисляет в error.log"),
            [](const Options &options, const QStringList &args) {
                if (args.size() != 1 || args.front().startsWith(u"--")) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] export-xlsx ВЫХОД.xlsx"));
                    return 2;
                }
                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                const sheets::SheetExportPlan plan =
                    sheets::planSheetExport(settings, QString::fromLatin1(sheets::kDeclarationTemplate));
                const sheets::XlsxWorkbook book = sheets::XlsxWorkbook::open(plan.templateFile);
                const sheets::DeclarationSheet laidOut = sheets::exportDeclaration(plan, book, printError);
                book.save(laidOut.sheet, args.front());
                sheets::storePeriodTotals(settings.FIniFile, plan.periodString, laidOut.periodTotal);
                printLine(QStringLiteral("Декларация за %1 выгружена в %2: строк таблицы %3, без накладной %4")
                              .arg(plan.periodDate, QDir::toNativeSeparators(args.front()))
                              .arg(laidOut.rowsRead)
                              .arg(laidOut.rowsMissingInvoice));
                return 0;
            }};
}

} // namespace kalvor::cli
