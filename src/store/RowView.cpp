#include "store/RowView.h"

#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <cmath>

namespace kalvor {

int RowView::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_data->fieldCount(); ++i)
        if (m_data->fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int RowView::required(QStringView name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw KalvorError(QStringLiteral("Поле %1 не найдено").arg(name));
    return index;
}

QString RowView::asString(int field) const
{
    const std::string_view s = utf8(field);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

qint64 RowView::asInteger(int field) const
{
    if (isNull(field))
        return 0;
    const std::string_view s = utf8(field);
    if (const auto v = valuetext::parseInteger(s))
        return *v;
    if (const auto d = valuetext::parseDecimal(s); d && std::fabs(*d) < 9.0e18)
        return std::llround(*d);
    return 0;
}

double RowView::asFloat(int field) const
{
    if (isNull(field))
        return 0;
    std::string_view s = utf8(field);
    if (const auto d = valuetext::parseDecimal(s))
        return *d;
    // Text columns may hold numbers typed with a decimal comma.
    std::string dotted(s);
    for (char &c : dotted)
        if (c == ',')
            c = '.';
    return valuetext::parseDecimal(dotted).value_or(0.0);
}

bool RowView::asBoolean(int field) const
{
    const std::string_view s = utf8(field);
    return s == "TRUE" || s == "true" || s == "1";
}

QDate RowView::asDate(int field) const
{
    if (isNull(field))
        return {};
    const QDate date = valuetext::parseDate(utf8(field));
    if (date.isValid())
        return date;
    return QDate::fromString(asString(field).trimmed(), QStringLiteral("dd.MM.yyyy"));
}

QDateTime RowView::asDateTime(int field) const
{
    if (isNull(field))
        return {};
    const QDateTime dt = valuetext::parseDateTime(utf8(field));
    if (dt.isValid())
        return dt;
    const QDate date = asDate(field);
    return date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
}

QVariant RowView::asVariant(int field) const
{
    if (isNull(field))
        return {};
    switch (m_data->fields[field].kind) {
    case FieldKind::Integer:
        return QVariant(asInteger(field));
    case FieldKind::Fixed:
    case FieldKind::Float:
        return QVariant(asFloat(field));
    case FieldKind::Boolean:
        return QVariant(asBoolean(field));
    case FieldKind::Date:
        return QVariant(asDate(field));
    case FieldKind::DateTime:
        return QVariant(asDateTime(field));
    case FieldKind::String:
    case FieldKind::Other:
        break;
    }
    return QVariant(asString(field));
}

} // namespace kalvor
