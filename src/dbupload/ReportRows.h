#pragma once

#include "app/Progress.h"
#include "dbupload/DbRowBuffer.h"

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace kalvor {
class TableData;
}

namespace kalvor::dbupload {

class Database;

// The period an upload writes into the keys: year counted from 2000, month 1-12 (0 passes, as a folder
// named ...00 does).
struct UploadPeriod {
    int year = 0;
    int month = 0;
};

// The key of an uploaded row: characters 1-12 + YY + MM + characters 17 on. A requisites key shorter
// than 12 characters is first filled out with "0" (so the INN alone becomes INN + YYMM).
std::string uploadKey(std::string_view key, UploadPeriod period, bool fillInn);

// The declaration's visible rows, in the table's order, in the database's columns (matched by name; a
// column the file lacks is NULL): every key rewritten to the period, and every position and transfer
// given the supplier name of the first invoice row that shares its first 25 key characters (none
// found: its own). With `dropUnlinked`, positions and transfers without their invoice are left out.
// A value the database could not take throws KalvorError naming the file, the key and the column.
struct DeclarationRows {
    DbRowBuffer rows;
    qint64 unlinkedDropped = 0;
};
DeclarationRows declarationRows(const TableData &data, const QString &fileName, UploadPeriod period,
                                bool dropUnlinked);

// The requisites' visible rows with their keys rewritten (filled out to 12 first).
DbRowBuffer kalvorRows(const TableData &data, const QString &fileName, UploadPeriod period);

// The report keys (first 16 characters of dkey) the rows carry, each once, in order of appearance.
QStringList reportKeys(const DbRowBuffer &rows);

// In the caller's transaction: the earlier rows of every report key the rows carry are deleted
// (DELETE_OLD_DECLARATION for the declaration, DELETE_OLD_KALVOR for the requisites), then the rows are
// added. So uploading a report again replaces it instead of doubling it.
void replaceRows(Database &db, const DbRowBuffer &rows);

} // namespace kalvor::dbupload
