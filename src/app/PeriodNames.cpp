#include "app/PeriodNames.h"

#include <QDate>

#include <algorithm>

namespace kalvor {

const QStringList &monthNames()
{
    static const QStringList names = {
        QStringLiteral("январь"), QStringLiteral("февраль"), QStringLiteral("март"), QStringLiteral("апрель"),
        QStringLiteral("май"), QStringLiteral("июнь"), QStringLiteral("июль"), QStringLiteral("август"),
        QStringLiteral("сентябрь"), QStringLiteral("октябрь"), QStringLiteral("ноябрь"), QStringLiteral("декабрь"),
    };
    return names;
}

QList<int> selectorYears(int configuredYear, int currentYear)
{
    QList<int> years;
    // Never empty, even under a clock set years back.
    const int last = std::max(kFirstSelectorYear, std::min(currentYear + 1, 99));
    for (int year = kFirstSelectorYear; year <= last; ++year)
        years.append(year);
    if (isPeriodYear(configuredYear) && !years.contains(configuredYear)) {
        years.append(configuredYear);
        std::sort(years.begin(), years.end());
    }
    return years;
}

QList<int> selectorYears(int configuredYear)
{
    return selectorYears(configuredYear, QDate::currentDate().year() - 2000);
}

QString yearText(int year)
{
    return QString::number(2000 + year);
}

} // namespace kalvor
