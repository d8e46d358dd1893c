#pragma once

#include <QList>
#include <QStringList>

namespace kalvor {

// Items of the month and year selectors, shared by the main window's period line and the period dialog.
// Month item index + 1 is the month.
const QStringList &monthNames(); // "январь" ... "декабрь"

// A year counted from 2000 that a period string can hold.
constexpr bool isPeriodYear(int year) { return year >= 0 && year <= 99; }

// The first year the selectors offer, counted from 2000.
constexpr int kFirstSelectorYear = 6;
// The years the selectors offer, counted from 2000 and ascending: 2006 up to the year after
// `currentYear`, with `configuredYear` added when it lies outside (a negative one is ignored).
QList<int> selectorYears(int configuredYear, int currentYear);
// The same for today's date.
QList<int> selectorYears(int configuredYear);
// "2012" for 12.
QString yearText(int year);

} // namespace kalvor
