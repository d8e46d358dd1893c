#include "reports/ReportSpan.h"

#include "app/PeriodNames.h"
#include "store/KalvorError.h"

namespace kalvor::reports {

namespace {

int yymm(int year, int month)
{
    return (year - 2000) * 100 + month;
}

QString monthYear(int year, int month)
{
    return monthNames().value(month - 1) + u' ' + QString::number(year);
}

void readPeriod(const QString &text, int &year, int &month)
{
    bool yearOk = false, monthOk = false;
    if (text.size() == 6) {
        year = text.left(4).toInt(&yearOk);
        month = text.mid(4, 2).toInt(&monthOk);
    }
    if (!yearOk || !monthOk || year < 2000 || year > 2099 || month < 1 || month > 12)
        throw KalvorError(QStringLiteral("Период должен быть в формате ГГГГММ: %1").arg(text));
}

} // namespace

int ReportSpan::start() const
{
    return yymm(startYear, startMonth);
}

int ReportSpan::end() const
{
    return yymm(endYear, endMonth);
}

QString ReportSpan::headerText() const
{
    return QStringLiteral("Отчет составлен за период с ") + monthYear(startYear, startMonth) +
           QStringLiteral(" г. по ") + monthYear(endYear, endMonth) + QStringLiteral(" г.");
}

ReportSpan ReportSpan::fromPeriods(const QString &from, const QString &to)
{
    ReportSpan span;
    readPeriod(from, span.startYear, span.startMonth);
    readPeriod(to, span.endYear, span.endMonth);
    return span;
}

} // namespace kalvor::reports
