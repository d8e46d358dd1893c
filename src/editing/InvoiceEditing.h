#pragma once

#include "store/RowView.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kalvor {
class Table;
}

namespace kalvor::invoice {

// The highest invoice number (key characters 19-24) of a table filtered to invoice rows; 0 when there
// is none. Empty keys are passed over; a key whose invoice number is not digits throws KalvorError.
int highestInvoiceNumber(const Table &invoices);
// The key of a new invoice: the stem + (highest number + 1) + "000000" + "00". Refuses (KalvorError) a
// number past 999999 rather than lengthening the key.
QString newInvoiceKey(const Table &invoices, QStringView stem);
// Characters 17-32 are "0000000100000000": the first invoice of a declaration, which carries the version.
bool isFirstInvoiceKey(QStringView key);

// The six fields an invoice must have before it is saved (the subdivision is not among them).
const QStringList &requiredFields();
// Those of the six that are empty in the row.
QStringList emptyRequiredFields(const RowView &row);

// A waybill dated in a month after the declaration month is refused.
bool waybillDateRefused(const QDate &waybillDate, int declarationYear, int declarationMonth);

} // namespace kalvor::invoice
