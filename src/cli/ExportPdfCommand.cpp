#include "cli/ErrorReportArguments.h"
#include "cli/WorkspacePeriod.h"

#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"
#include "sheets/print/SheetPrintout.h"

#include <QDir>

namespace kalvor::cli {

namespace {

const QString kUsage = QStringLiteral("export-pdf [--error-report [--max N] [--checks ...] [--vodka 85,5] "
                                      "[--cognac 167]] ВЫХОД.pdf");

int usage(const QString &why = {})
{
    if (!why.isEmpty())
        printError(why);
    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] ") + kUsage);
    return 2;
}

} // namespace

Command exportPdfCommand()
{
    Command command{
        QStringLiteral("export-pdf"), kUsage,
        QStringLiteral("Записывает декларацию текущего периода (или с --error-report отчет об ошибках, с теми же "
                       "параметрами, что у error-report) в PDF: A4 альбомной ориентации, шапка таблицы на каждой "
                       "странице, без офисного пакета"),
        [](const Options &options, const QStringList &args) {
            sheets::ErrorReportOptions report;
            QStringList rest;
            if (const std::optional<QString> wrong = readErrorReportArguments(args, report, rest))
                return usage(*wrong);
            const bool errors = rest.removeAll(QStringLiteral("--error-report")) > 0;
            if (rest.size() != 1 || rest.front().startsWith(u"--") || (!errors && rest.size() != args.size()))
                return usage();
            const QString out = rest.front();
            PeriodWorkspace workspace(options, Access::Write);
            TAppSettings &settings = workspace.settings;
            const sheets::SheetExportPlan plan = sheets::planSheetExport(
                settings, QString::fromLatin1(errors ? sheets::kErrorReportTemplate : sheets::kDeclarationTemplate));
            const sheets::XlsxWorkbook book = sheets::XlsxWorkbook::open(plan.templateFile);
            QString title;
            QString written; // "записан" or "записана", as the title's noun asks
            QString counts;
            sheets::SheetLayout sheet;
            if (errors) {
                report.year = plan.year;
                report.month = plan.month;
                sheets::ErrorReport laidOut = sheets::exportErrorReport(plan, book, report);
                title = QStringLiteral("Отчет об ошибках за %1").arg(plan.periodDate);
                written = QStringLiteral("записан");
                counts = QStringLiteral("записей %1").arg(laidOut.listed);
                sheet = std::move(laidOut.sheet);
            } else {
                sheets::DeclarationSheet laidOut = sheets::exportDeclaration(plan, book, printError);
                title = QStringLiteral("Декларация за %1").arg(plan.periodDate);
                written = QStringLiteral("записана");
                counts = QStringLiteral("строк таблицы %1, без накладной %2")
                             .arg(laidOut.rowsRead)
                             .arg(laidOut.rowsMissingInvoice);
                sheet = std::move(laidOut.sheet);
            }
            const sheets::print::SheetPrintout printout(std::move(sheet));
            printout.writePdf(out, title);
            printLine(QStringLiteral("%1 %2 в %3: страниц %4, %5")
                          .arg(title, written, QDir::toNativeSeparators(out))
                          .arg(printout.pageCount())
                          .arg(counts));
            return 0;
        }};
    command.fonts = true;
    return command;
}

} // namespace kalvor::cli
