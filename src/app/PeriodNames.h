#pragma once

#include <QStringList>

namespace kalvor {

// Items of the month and year selectors, shared by the main window's period line and the period dialog.
// Month item index + 1 is the month; year item index + kFirstSelectorYear is the year counted from 2000.
const QStringList &monthNames();    // "январь" ... "декабрь"
const QStringList &selectorYears(); // "2006" ... "2016"

} // namespace kalvor
