#include "cli/ErrorReportArguments.h"

namespace kalvor::cli {

namespace {

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

std::optional<QString> readErrorReportArguments(const QStringList &args, sheets::ErrorReportOptions &report,
                                                QStringList &rest)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool valued = arg == u"--max" || arg == u"--checks" || arg == u"--vodka" || arg == u"--cognac";
        if (!valued) {
            rest << arg;
            continue;
        }
        if (i + 1 >= args.size())
            return QString();
        const QString &value = args[++i];
        if (arg == u"--max") {
            const std::optional<int> count = sheets::readRecordCount(value);
            if (!count)
                return QString::fromUtf8(sheets::kRecordCountRefusal);
            report.maxRecords = *count;
        } else if (arg == u"--checks") {
            if (!readChecks(value, report))
                return QStringLiteral("неизвестная проверка в «%1»").arg(value);
        } else {
            const bool vodka = arg == u"--vodka";
            const std::optional<double> threshold = sheets::readThreshold(value);
            if (!threshold)
                return sheets::thresholdRefusal(vodka ? QStringLiteral("Водка <") : QStringLiteral("Коньяк<"), value);
            (vodka ? report.vodkaThreshold : report.cognacThreshold) = *threshold;
        }
    }
    return std::nullopt;
}

} // namespace kalvor::cli
