#include "app/PeriodNames.h"

#include "app/TAppSettings.h"

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

const QStringList &selectorYears()
{
    static const QStringList years = [] {
        QStringList list;
        for (int year = kFirstSelectorYear; year <= kLastSelectorYear; ++year)
            list.append(QString::number(2000 + year));
        return list;
    }();
    return years;
}

} // namespace kalvor
