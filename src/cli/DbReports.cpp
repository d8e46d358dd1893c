#include "cli/DbReports.h"

#include "app/Workspace.h"
#include "cli/WorkspacePeriod.h"
#include "reports/ReportWorkbooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QMap>

namespace kalvor::cli {

namespace {

const QString kReportUsage = QStringLiteral(
    "использование: kalvor-cli [--home ПАПКА] db report ИМЯ --from ГГГГММ --to ГГГГММ [--inn ИНН] ВЫХОД.xlsx");
const QString kObjectsUsage =
    QStringLiteral("использование: kalvor-cli [--home ПАПКА] db objects-report --from ГГГГММ --to ГГГГММ ВЫХОД.xlsx");

// The options with values (--from, --to, --inn) and the other arguments in order; false on anything else.
bool parse(const QStringList &args, const QStringList &known, QMap<QString, QString> &values, QStringList &rest)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(u"--")) {
            rest.append(arg);
            continue;
        }
        if (!known.contains(arg) || i + 1 >= args.size() || values.contains(arg))
            return false;
        values.insert(arg, args[++i]);
    }
    return values.contains(QStringLiteral("--from")) && values.contains(QStringLiteral("--to"));
}

int finish(const reports::WrittenReport &written, const QString &what)
{
    if (written.noData) {
        printError(QString::fromUtf8(reports::kNoDataMessage));
        return 1;
    }
    if (!written.notice.isEmpty())
        printError(written.notice);
    printLine(QStringLiteral("%1 записан в %2").arg(what, QDir::toNativeSeparators(written.fileName)));
    return 0;
}

QString shareDir()
{
    return locateShareDir(QCoreApplication::applicationDirPath());
}

} // namespace

int dbReport(const Options &options, const QStringList &args)
{
    QMap<QString, QString> values;
    QStringList rest;
    const QStringList known{QStringLiteral("--from"), QStringLiteral("--to"), QStringLiteral("--inn")};
    const reports::RegulatorReport *report = nullptr;
    if (parse(args, known, values, rest) && rest.size() == 2)
        report = reports::findRegulatorReport(rest[0]);
    if (!report || report->control != values.contains(QStringLiteral("--inn"))) {
        QStringList names;
        for (const reports::RegulatorReport &r : reports::regulatorReports())
            names.append(r.name);
        // Two lines: printLine would escape a line end inside one message.
        printError(kReportUsage);
        printError(QStringLiteral("ИМЯ: ") + names.join(QStringLiteral(", ")) +
                   QStringLiteral("; --inn нужен отчету control и только ему"));
        return 2;
    }
    const reports::ReportSpan span =
        reports::ReportSpan::fromPeriods(values.value(QStringLiteral("--from")), values.value(QStringLiteral("--to")));
    const QString curDir = prepareCommandWorkspace(options, nullptr);
    return finish(reports::writeRegulatorReport(curDir, shareDir(), *report, span,
                                                values.value(QStringLiteral("--inn")), rest[1]),
                  QStringLiteral("Отчет «%1»").arg(report->caption));
}

int dbObjectsReport(const Options &options, const QStringList &args)
{
    QMap<QString, QString> values;
    QStringList rest;
    if (!parse(args, {QStringLiteral("--from"), QStringLiteral("--to")}, values, rest) || rest.size() != 1) {
        printError(kObjectsUsage);
        return 2;
    }
    const reports::ReportSpan span =
        reports::ReportSpan::fromPeriods(values.value(QStringLiteral("--from")), values.value(QStringLiteral("--to")));
    PeriodWorkspace workspace(options, Access::Read);
    return finish(reports::writeObjectsReport(workspace.settings, shareDir(), span, rest[0]),
                  QStringLiteral("Отчет о полноте данных"));
}

} // namespace kalvor::cli
