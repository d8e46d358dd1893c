#include "app/TAppSettings.h"

#include "store/KalvorError.h"

namespace kalvor {
namespace {

int numberAt(const QString &periodString, int offset)
{
    bool ok = false;
    const int value = periodString.mid(offset, 2).toInt(&ok);
    if (!ok || periodString.size() < offset + 2)
        throw KalvorError(QStringLiteral("Неверный отчетный период «%1»").arg(periodString));
    return value;
}

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

} // namespace

QString periodString(int year, int month)
{
    return QStringLiteral("20") + twoDigits(year) + twoDigits(month);
}

int periodMonthOf(const QString &periodString)
{
    return numberAt(periodString, 4);
}

int periodYearOf(const QString &periodString)
{
    return numberAt(periodString, 2);
}

std::pair<int, int> nextPeriod(int year, int month)
{
    return month >= 12 ? std::pair{year + 1, 1} : std::pair{year, month + 1};
}

std::pair<int, int> previousPeriod(int year, int month)
{
    return month <= 1 ? std::pair{year - 1, 12} : std::pair{year, month - 1};
}

QString periodFolder(const QString &curDir, const QString &periodString)
{
    return curDir + QStringLiteral("reports/") + periodString;
}

} // namespace kalvor
