#pragma once

#include "store/TableData.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace kalvor {

// Read access to one row of a table without moving its cursor: what filter callbacks and grids see.
// A view is valid until the table changes.
class RowView final {
public:
    RowView() = default;
    RowView(const TableData *data, CellRow cells) : m_data(data), m_cells(cells) {}

    bool isValid() const { return m_data != nullptr; }
    int fieldIndex(QStringView name) const; // -1 when the table has no such column
    const FieldDef &fieldDef(int field) const { return m_data->fields[field]; }

    bool isNull(int field) const { return m_cells[field].isNull(); }
    // The value as stored in the file (after entity decoding): dates YYYYMMDD, decimals with ".".
    std::string_view utf8(int field) const { return m_data->text(m_cells[field]); }
    QString asString(int field) const;
    qint64 asInteger(int field) const;   // 0 for NULL or text that is not a number
    double asFloat(int field) const;     // 0 for NULL
    bool asBoolean(int field) const;
    QDate asDate(int field) const;       // invalid for NULL
    QDateTime asDateTime(int field) const;
    QVariant asVariant(int field) const; // typed by the column; an invalid QVariant for NULL

    bool isNull(QStringView name) const { return isNull(required(name)); }
    QString asString(QStringView name) const { return asString(required(name)); }
    qint64 asInteger(QStringView name) const { return asInteger(required(name)); }
    double asFloat(QStringView name) const { return asFloat(required(name)); }
    QDate asDate(QStringView name) const { return asDate(required(name)); }

private:
    int required(QStringView name) const;

    const TableData *m_data = nullptr;
    CellRow m_cells;
};

} // namespace kalvor
