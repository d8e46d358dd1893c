#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor::dbupload {

// How a column of the database holds its values.
enum class DbType { Text, Integer, Decimal, Date, Timestamp };

struct DbColumn {
    QString name;
    DbType type = DbType::Text;
};

// Rows on their way into one table, all text in one buffer: values are in the database's text form
// (integers, decimals with ".", dates YYYY-MM-DD, timestamps YYYY-MM-DD HH:MM:SS[.mmm]) or NULL.
class DbRowBuffer final {
public:
    DbRowBuffer(QString table, QList<DbColumn> columns);

    const QString &table() const { return m_table; }
    const QList<DbColumn> &columns() const { return m_columns; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    std::size_t rowCount() const { return m_columns.isEmpty() ? 0 : m_cells.size() / m_columns.size(); }
    void reserve(std::size_t rows, std::size_t textBytes);

    // Values are appended in column order; a row is complete after columnCount() of them.
    void add(std::string_view value);
    void addNull();
    // A value as a data packet file stores it (dates YYYYMMDD[THH:MM:SS[mmm]], decimals with "."),
    // turned into the column's form. False, and nothing added, when it is no value of that type.
    bool addFileValue(DbType type, std::string_view stored);

    std::optional<std::string_view> value(std::size_t row, int column) const
    {
        const Slice &s = m_cells[row * static_cast<std::size_t>(m_columns.size()) + static_cast<std::size_t>(column)];
        if (s.length == kNull)
            return std::nullopt;
        return std::string_view(m_text.data() + s.offset, s.length);
    }

private:
    static constexpr std::uint32_t kNull = 0xFFFFFFFFu;
    struct Slice {
        std::uint32_t offset = 0;
        std::uint32_t length = kNull;
    };

    QString m_table;
    QList<DbColumn> m_columns;
    std::string m_text;
    std::vector<Slice> m_cells;
};

// The database form of a data packet value, or nothing when the stored text is no value of the type.
std::optional<std::string> databaseValue(DbType type, std::string_view stored);

} // namespace kalvor::dbupload
