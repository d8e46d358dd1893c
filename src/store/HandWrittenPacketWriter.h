#pragma once

#include "store/FieldDef.h"

#include <QString>

#include <string>
#include <string_view>

namespace kalvor {

// Writes a data packet row by row from text cells, the way tools that work on plain text grids make
// their result files: the head with the given columns, one ROW line with RowState="4" per row, every
// listed attribute written even when empty. The file appears only when commit() succeeds, so a failure
// midway never leaves a half-written packet.
class HandWrittenPacketWriter final {
public:
    HandWrittenPacketWriter(const QString &fileName, const QList<FieldDef> &fields);

    // One row: pairs of column name and prepared value text (quotes and other specials are escaped here),
    // the key first. A value that is not one of its column's type throws KalvorError naming the row and
    // the column, and nothing is written.
    void writeRow(const QList<QPair<QString, QString>> &cells);
    // Ends the data, chooses Windows-1251 when every text fits it (else UTF-8) and replaces the file.
    void commit();

    const QString &fileName() const { return m_fileName; }

private:
    void requireValueOf(const QString &column, std::string_view text,
                        const QList<QPair<QString, QString>> &cells) const;

    QString m_fileName;
    QList<FieldDef> m_fields;
    std::string m_body; // UTF-8, escaped
};

// Value preparation of text cells: a decimal comma becomes a point.
QString decimalCommaToPoint(const QString &cell);
// A date cell in the short date format (dd.MM.yyyy) as YYYYMMDD; empty stays empty; anything else throws.
QString shortDateToPacketDate(const QString &cell);

} // namespace kalvor
