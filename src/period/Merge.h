#pragma once

#include <QDateTime>
#include <QString>

namespace kalvor {
class Table;
class TAppSettings;
} // namespace kalvor

namespace kalvor::period {

// A position of a declaration as far as telling two deliveries of the same goods apart goes.
class TInvoice final {
public:
    // From the current row of an open declaration table; without a current row every field is empty.
    static TInvoice Create(const Table &table);

    // Same waybill number, waybill date and production date (kept in production_number).
    bool compare(const TInvoice &other) const;

    QString Fdkey;
    QString Fttn_numer;
    QDateTime Fttn_date;
    QString Fproduction_number;
};

struct MergeResult {
    QString message;      // for the user
    qint64 rowsAdded = 0; // rows appended; for a replacement, the rows the declaration now has
    QString backupFile;   // where the previous declaration was kept
};

// Appends every current row of `fileName` to the open period's declaration: keys take the period's
// INNYYMMCC and invoice numbers continue after the last invoice of the declaration; the declaration's
// columns are filled from the source's columns of the same name. Nothing is written when the file cannot
// be read or a renumbered invoice would not fit its six digits (KalvorError); otherwise the old
// declaration is backed up and the new one saved atomically.
MergeResult addDeclaration(const TAppSettings &settings, const QString &fileName);

// Puts `fileName` in place of the declaration unchanged (keys, period and INN included), after backing the
// declaration up. The file is read once and exactly the bytes checked are written. A file that is not a
// regular file, not a readable data packet or not a declaration table (its columns are not the
// declaration's) is refused with KalvorError and nothing changes.
MergeResult replaceDeclaration(const TAppSettings &settings, const QString &fileName);

} // namespace kalvor::period
