#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace kalvor {

// How the engine treats a column's text; the file keeps the exact type name in FieldDef::typeName.
enum class FieldKind {
    String,   // "string", "string.uni"
    Integer,  // "i1", "i2", "i4", "i8", "ui1", "ui2", "ui4", "ui8"
    Fixed,    // "fixed", "fixedFMT": exact decimal with DECIMALS digits after the point
    Float,    // "r8"
    Boolean,  // "boolean"
    DateTime, // "dateTime", "SQLdateTime"
    Date,     // "date"
    Other     // anything else is carried as text unchanged
};

struct FieldDef {
    QString name;            // attrname as in the file (names compare without regard to case)
    QByteArray typeName;     // fieldtype as in the file, e.g. "i2"
    FieldKind kind = FieldKind::String;
    QByteArray subtype;      // SUBTYPE, e.g. "FixedChar"
    int width = 0;           // WIDTH: characters of a string, digits of a fixed
    int decimals = 0;        // DECIMALS of a fixed
    // Further FIELD attributes the engine does not use, kept for rewriting.
    QList<QPair<QByteArray, QByteArray>> extraAttributes;

    // Range of an integer column by its type name; 0/0 when not an integer.
    qint64 minInteger() const;
    qint64 maxInteger() const;
};

FieldKind fieldKindOf(const QByteArray &typeName);

} // namespace kalvor
