#include "period/FieldText.h"

#include "app/DisplayText.h"

namespace kalvor::period {

int columnIndex(const TableData &data, QStringView name)
{
    for (int i = 0; i < data.fieldCount(); ++i)
        if (data.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void appendDisplayText(std::string &out, const RowView &row, int field)
{
    if (field < 0 || row.isNull(field))
        return;
    const std::string_view stored = row.utf8(field);
    switch (row.fieldDef(field).kind) {
    case FieldKind::Fixed:
    case FieldKind::Float:
        // Shown as stored with a decimal comma, the way displayText turns them.
        for (const char c : stored)
            out += c == '.' ? ',' : c;
        return;
    case FieldKind::Date:
    case FieldKind::DateTime:
        out += displayText(row, field).toStdString();
        return;
    default:
        out += stored;
        return;
    }
}

QString displayTextOf(const RowView &row, int field)
{
    return field < 0 ? QString() : displayText(row, field);
}

} // namespace kalvor::period
