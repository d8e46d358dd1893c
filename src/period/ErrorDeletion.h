#pragma once

#include <QString>
#include <QStringList>

namespace kalvor {
class Table;
}

namespace kalvor::period {

// The line the text export writes for a row without an invoice, followed by the row's waybill number.
QString unlinkedWaybillLine(const QString &ttnNumer);

// The waybill numbers of the text export's unlinked rows listed in error.log: every line containing
// "Не выгрузилось ттн №: " gives the line without its first 22 characters (the length of that text).
// The log may be UTF-8 or Windows-1251; a missing or unreadable log gives an empty list.
QStringList waybillsToDelete(const QString &curDir);

// Deletes the rows of an open positions view whose ttn_numer equals one of the numbers exactly, then
// saves the table when it deleted any; returns how many. Other views of the same file must be reopened
// afterwards. Throws KalvorError when the table cannot be changed or saved.
int deleteListedPositions(Table &positions, const QStringList &waybills);

} // namespace kalvor::period
