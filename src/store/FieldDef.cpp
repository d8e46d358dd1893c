#include "store/FieldDef.h"

#include <limits>

namespace kalvor {

FieldKind fieldKindOf(const QByteArray &typeName)
{
    const QByteArray t = typeName.toLower();
    if (t == "string" || t == "string.uni" || t == "wstring")
        return FieldKind::String;
    if (t == "i1" || t == "i2" || t == "i4" || t == "i8" || t == "ui1" || t == "ui2" || t == "ui4" || t == "ui8")
        return FieldKind::Integer;
    if (t == "fixed" || t == "fixedfmt")
        return FieldKind::Fixed;
    if (t == "r8")
        return FieldKind::Float;
    if (t == "boolean")
        return FieldKind::Boolean;
    if (t == "datetime" || t == "sqldatetime")
        return FieldKind::DateTime;
    if (t == "date")
        return FieldKind::Date;
    return FieldKind::Other;
}

qint64 FieldDef::minInteger() const
{
    const QByteArray t = typeName.toLower();
    if (t.startsWith("ui"))
        return 0;
    if (t == "i1")
        return std::numeric_limits<qint8>::min();
    if (t == "i2")
        return std::numeric_limits<qint16>::min();
    if (t == "i4")
        return std::numeric_limits<qint32>::min();
    if (t == "i8")
        return std::numeric_limits<qint64>::min();
    return 0;
}

qint64 FieldDef::maxInteger() const
{
    const QByteArray t = typeName.toLower();
    if (t == "i1")
        return std::numeric_limits<qint8>::max();
    if (t == "ui1")
        return std::numeric_limits<quint8>::max();
    if (t == "i2")
        return std::numeric_limits<qint16>::max();
    if (t == "ui2")
        return std::numeric_limits<quint16>::max();
    if (t == "i4")
        return std::numeric_limits<qint32>::max();
    if (t == "ui4")
        return std::numeric_limits<quint32>::max();
    if (t == "i8" || t == "ui8")
        return std::numeric_limits<qint64>::max();
    return 0;
}

} // namespace kalvor
