#include "cli/WorkspacePeriod.h"

#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"

#include <QDir>

#include <cstdio>

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

// The checks named in --checks; false when a name is unknown.
bool readChecks(const QString &list, sheets::ErrorReportOptions &o)
{
    o.rest = o.empty = o.ttnDate = o.productionCode = o.vodka = o.cognac = false;
    for (const QString &name : list.split(u',', Qt::SkipEmptyParts)) {
        const QString n = name.trimmed();
        bool *flag = n == u"rest"     ? &o.rest
                     : n == u"empty"  ? &o.empty
                     : n == u"ttn"    ? &o.ttnDate
                     : n == u"kind"   ? &o.productionCode
                     : n == u"vodka"  ? &o.vodka
                     : n == u"cognac" ? &o.cognac
                                      : nullptr;
        if (!flag)
            return false;
        *flag = true;
    }
    return true;
}

} // namespace

Command errorReportCommand()
{
    return {QStringLiteral("error-report"), kUsage,
            QStringLiteral("Проверяет строки декларации текущего периода и записывает подозрительные на шаблон "
                           "templates/tamrelError.xlsx (по умолчанию все проверки, 100 записей, пороги 85,5 и 167)"),
            [](const Options &options, const QStringList &args) {
                sheets::ErrorReportOptions report;
                QString out;
                for (qsizetype i = 0; i < args.size(); ++i) {
                    const QString &arg = args[i];
                    const bool valued =
                        arg == u"--max" || arg == u"--checks" || arg == u"--vodka" || arg == u"--cognac";
                    if (valued && i + 1 >= args.size())
                        return usage();
                    if (arg == u"--max") {
                        const std::optional<int> count = sheets::readRecordCount(args[++i]);
                        if (!count)
                            return usage(QString::fromUtf8(sheets::kRecordCountRefusal));
                        report.maxRecords = *count;
                    } else if (arg == u"--checks") {
                        if (!readChecks(args[++i], report))
                            return usage(QStringLiteral("неизвестная проверка в «%1»").arg(args[i]));
                    } else if (arg == u"--vodka" || arg == u"--cognac") {
                        const bool vodka = arg == u"--vodka";
                        const std::optional<double> value = sheets::readThreshold(args[++i]);
                        if (!value)
                            return usage(sheets::thresholdRefusal(
                                vodka ? QStringLiteral("Водка <") : QStringLiteral("Коньяк<"), args[i]));
                        (vodka ? report.vodkaThreshold : report.cognacThreshold) = *value;
                    } else if (out.isEmpty() && !arg.startsWith(u"--")) {
                        out = arg;
                    } else {
                        return usage();
                    }
                }
                if (out.isEmpty())
                    return usage();
                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                const sheets::SheetExportPlan plan =
                    sheets::planSheetExport(settings, QString::fromLatin1(sheets::kErrorReportTemplate));
                report.year = plan.year;
                report.month = plan.month;
                const sheets::XlsxWorkbook book = sheets::XlsxWorkbook::open(plan.templateFile);
                const sheets::ErrorReport laidOut = sheets::exportErrorReport(plan, book, report);
                book.save(laidOut.sheet, out);
                std::printf("%s\n", QStringLiteral("Отчет об ошибках за %1 записан в %2: записей %3")
                                        .arg(plan.periodDate, QDir::toNativeSeparators(out))
                                        .arg(laidOut.listed)
                                        .toUtf8()
                                        .constData());
                return 0;
            }};
}

} // namespace kalvor::cli
