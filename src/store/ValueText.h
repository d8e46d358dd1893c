#pragma once

#include "store/FieldDef.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace kalvor::valuetext {

// The stored text of typed values: dates YYYYMMDD (with "THH:MM:SSmmm" when a time is set),
// decimals with ".", booleans TRUE/FALSE.

// Whether stored text is a well-formed value of the column (used when reading files).
bool isWellFormed(const FieldDef &field, std::string_view text);

std::optional<qint64> parseInteger(std::string_view text);
std::optional<double> parseDecimal(std::string_view text);
QDate parseDate(std::string_view text);         // invalid when malformed
QDateTime parseDateTime(std::string_view text); // invalid when malformed

std::string formatInteger(qint64 value);
// Rounded half away from zero to the column's decimals (fixed) or shortest exact form (float).
std::string formatDecimal(double value, int decimals);
std::string formatFloat(double value);
std::string formatDate(const QDate &date);
std::string formatDateTime(const QDateTime &dateTime);

// Turns what a user typed (decimal comma allowed, dates dd.MM.yyyy or YYYYMMDD) into stored text.
// Throws KalvorError naming the column when the text is not a value of its type.
std::string fromUserText(const FieldDef &field, const QString &text);

} // namespace kalvor::valuetext
