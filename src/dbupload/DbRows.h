#pragma once

#include <QString>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <vector>

namespace kalvor::dbupload {

class DbRows;

// One result row; values are read by column name without regard to letter case. A name the result
// lacks throws KalvorError naming the procedure and the column.
class DbRow final {
public:
    DbRow(const DbRows &rows, int index) : m_rows(&rows), m_index(index) {}

    bool isNull(QStringView column) const;
    // The value as the database wrote it: decimals with "." and their scale, dates dd.MM.yyyy; empty
    // for NULL.
    QString text(QStringView column) const;
    // Read as a number ("." decimals); 0 for NULL. Text that is no number throws KalvorError.
    double number(QStringView column) const;
    qint64 integer(QStringView column) const;

private:
    const std::optional<QString> &cell(QStringView column) const;

    const DbRows *m_rows;
    int m_index;
};

// The rows a procedure returned, all in memory (reports read a few hundred rows at most).
class DbRows final {
public:
    DbRows() = default;
    DbRows(QString procedure, QStringList columns) : m_procedure(std::move(procedure)), m_columns(std::move(columns)) {}

    int rowCount() const { return static_cast<int>(m_cells.size() / std::max<std::size_t>(1, columnCount())); }
    bool isEmpty() const { return m_cells.empty(); }
    std::size_t columnCount() const { return static_cast<std::size_t>(m_columns.size()); }
    const QStringList &columns() const { return m_columns; }
    const QString &procedure() const { return m_procedure; }
    // Index of a column, without regard to case; -1 when missing.
    int columnIndex(QStringView name) const;
    bool hasColumn(QStringView name) const { return columnIndex(name) >= 0; }

    DbRow row(int index) const { return DbRow(*this, index); }
    DbRow first() const { return row(0); }
    const std::optional<QString> &cell(int row, int column) const
    {
        return m_cells[static_cast<std::size_t>(row) * columnCount() + static_cast<std::size_t>(column)];
    }

    // Filled by the database implementations, a row's cells in column order.
    void appendCell(std::optional<QString> value) { m_cells.push_back(std::move(value)); }

    class Iterator {
    public:
        Iterator(const DbRows *rows, int index) : m_rows(rows), m_index(index) {}
        DbRow operator*() const { return m_rows->row(m_index); }
        Iterator &operator++()
        {
            ++m_index;
            return *this;
        }
        bool operator!=(const Iterator &other) const { return m_index != other.m_index; }

    private:
        const DbRows *m_rows;
        int m_index;
    };
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, rowCount()); }

private:
    QString m_procedure;
    QStringList m_columns;
    std::vector<std::optional<QString>> m_cells;
};

} // namespace kalvor::dbupload
