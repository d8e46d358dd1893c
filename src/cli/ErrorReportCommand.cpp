#include "cli/ErrorReportArguments.h"
#include "cli/WorkspacePeriod.h"

#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"

#include <QDir>


namespace kalvor::cli {

namespace {

const QString kUsage =
    QStringLiteral("error-report [--max N] [--checks rest,empty,ttn,kind,vodka,cognac] [--vodka 85,5] "
                   "[--cognac 167] ВЫХОД.xlsx");

int usage(const QString &why = {})
{
    if (!why.isEmpty())
        printError(why);
    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] ") + kUsage);
    return 2;
}

} // namespace

Command errorReportCommand()
{
    return {QStringLiteral("error-report"), kUsage,
            QStringLiteral("Проверяет строки декларации текущего периода и записывает подозрительные на шаблон "
                           "templates/tamrelError.xlsx (по умолчанию все проверки, 100 записей, пороги 85,5 и 167)"),
            [](const Options &options, const QStringList &args) {
                sheets::ErrorReportOptions report;
                QStringList rest;
                if (const std::optional<QString> wrong = readErrorReportArguments(args, report, rest))
                    return usage(*wrong);
                if (rest.size() != 1 || rest.front().startsWith(u"--"))
                    return usage();
                const QString out = rest.front();
                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                const sheets::SheetExportPlan plan =
                    sheets::planSheetExport(settings, QString::fromLatin1(sheets::kErrorReportTemplate));
                report.year = plan.year;
                report.month = plan.month;
                const sheets::XlsxWorkbook book = sheets::XlsxWorkbook::open(plan.templateFile);
                const sheets::ErrorReport laidOut = sheets::exportErrorReport(plan, book, report);
                book.save(laidOut.sheet, out);
                printLine(QStringLiteral("Отчет об ошибках за %1 записан в %2: записей %3")
                              .arg(plan.periodDate, QDir::toNativeSeparators(out))
                              .arg(laidOut.listed));
                return 0;
            }};
}

} // namespace kalvor::cli
