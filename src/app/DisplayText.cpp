#include "app/DisplayText.h"

#include "app/Formats.h"

namespace kalvor {

QString displayText(const RowView &row, int field)
{
    if (row.isNull(field))
        return QString();
    switch (row.fieldDef(field).kind) {
    case FieldKind::Date:
    case FieldKind::DateTime:
        return Formats::date(row.asDate(field));
    case FieldKind::Fixed:
    case FieldKind::Float: {
        QString text = row.asString(field);
        text.replace(u'.', u',');
        return text;
    }
    default:
        return row.asString(field);
    }
}

} // namespace kalvor
