#pragma once

#include "store/KalvorError.h"
#include "store/TableData.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// The stored text of a value of column `from` as a value of column `to`: unchanged when it already is
// one, else converted by the types (a whole number into an integer column, a number into a decimal one,
// text read the way a user's typing is). nullopt when it is no value of `to`: not a number or a date,
// out of the column's range, or a fraction for an integer column, which rounding would falsify.
std::optional<std::string> convertStoredText(const FieldDef &from, std::string_view text, const FieldDef &to);

// The refusal of a value that does not fit its column, naming the file, the row (by its key) and the column.
KalvorError unconvertibleValue(const QString &fileName, std::string_view key, const FieldDef &to,
                               std::string_view text);

// Rows poured from a table into the columns of a template: each template column takes the source column
// of the same name (names compare without regard to case) and every value goes through the template
// column's type, so the result always loads again. A value that does not fit stops the copy before
// anything is written.
class ColumnCopy final {
public:
    // `sourceName` is the file the rows come from, for messages.
    ColumnCopy(const TableData &source, const TableData &templ, QString sourceName);

    // The result: the template's columns and parameters, no rows yet.
    TableData &result() { return m_result; }
    // A column of the result by name; -1 when the template has none.
    int targetField(QStringView name) const;

    // The cells of `record` in the result's columns (NULL where the source has no such column).
    // Throws KalvorError naming the row (`key`) and the column when a value does not fit. Columns marked
    // in `skipped` (the caller overwrites them) are left NULL unread.
    void copyRow(std::uint32_t record, std::string_view key, std::vector<Cell> &cells,
                 const std::vector<bool> *skipped = nullptr);
    // One source cell as a value of the result's column `target`; throws like copyRow.
    Cell convertCell(int sourceField, const Cell &cell, int target, std::string_view key);

private:
    const TableData &m_source;
    QString m_sourceName;
    TableData m_result;
    std::vector<int> m_sourceField; // per result column, the source column of the same name or -1
    // Per result column: the source's values are already values of it (the same kind of type, which the
    // reader checked every value against), so they are taken over without a look.
    std::vector<bool> m_verbatim;
};

} // namespace kalvor
