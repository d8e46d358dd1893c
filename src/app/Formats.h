#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

#include <optional>

namespace kalvor {

// Russian formats for everything shown to the user or written to text files, whatever the system
// locale is: dates dd.MM.yyyy, numbers with a decimal comma and no digit grouping.
class Formats final {
public:
    Formats() = delete;

    // dd.MM.yyyy; empty for an invalid date.
    static QString date(const QDate &value);
    // Accepts d.M.yyyy and dd.MM.yyyy (also with two-digit years, read as 20yy); invalid otherwise.
    static QDate parseDate(QStringView text);

    // Fixed number of decimals with a decimal comma: 1234.5 with 3 decimals is "1234,500".
    static QString number(double value, int decimals);
    // Accepts a decimal comma or point, an optional sign and blanks between digit groups.
    static std::optional<double> parseNumber(QStringView text);
};

} // namespace kalvor
