#pragma once

#include "store/RowView.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace kalvor {
class Table;
}

namespace kalvor::transfer {

// Rows of one position's transfers (the dialog's table and the transfer view select them alike).
bool isTransferOf(const RowView &row, QStringView positionKey);

// Number of the last transfer of a table filtered to one position's transfers and ordered by key; 0
// when there is none or its key is empty.
int lastTransferNumber(const Table &transfers);
// The key of the next transfer; the hundredth is refused with a KalvorError that says why.
QString newTransferKey(const Table &transfers, QStringView positionKey);

// What a new transfer takes from its source position: the sending subdivision and the product.
void fillFromSource(Table &transfer, const RowView &source);
// Alcohol content and package volume of the source, 0 where empty, written onto the transfer on saving.
void takePackageFromSource(Table &transfer, const RowView &source);

// The package count as typed: a whole number of packages, or nothing (empty, fractional, not a number).
std::optional<qint64> packageCountOf(QStringView text);
// The package count an existing transfer shows: other_coming / package_volume, with a comma when the
// litres are not a whole number of packages; empty when either is missing or the package is empty.
QString packageCountText(const RowView &transfer);
// Litres of a count of packages of the transfer's package volume, into other_coming.
void storePackageCount(Table &transfer, qint64 packages);

// The checks of "Сохранить"; each flag paints its entry. No message is shown for them, except the two
// that the entries cannot make plain by colour (a count that is not whole, a code that is not a number).
struct TransferCheck {
    bool packageCountEmpty = false;
    bool packageCountNotWhole = false;
    bool packageCountChargesBad = false;  // empty or below 0
    bool returnVolumeChargesBad = false;  // empty or below 0
    bool restVolumeEmpty = false;
    bool restNegative = false;
    bool departmentMissing = false;
    bool departmentNotNumber = false;
    bool passed() const
    {
        return !packageCountEmpty && !packageCountNotWhole && !packageCountChargesBad && !returnVolumeChargesBad
               && !restVolumeEmpty && !restNegative && !departmentMissing && !departmentNotNumber;
    }
};
TransferCheck checkTransfer(const RowView &transfer, QStringView packageCountText);
QString packageCountNotWholeMessage();
QString departmentNotNumberMessage(const QString &code);

// Books a change of a position's transfers on the source position, in the same table (so one save
// writes both): other_charges grows by `litresChange` (negative when litres return), the remains follow
// by the balance rule, and a new transfer marks department_code_inner_charges "0". The table may be
// filtered to anything; its filter is switched off for the booking and restored after, which leaves
// the cursor on the first row. A pending row is posted first. Throws KalvorError when the position is
// not in the table.
enum class Booking { NewTransfer, ChangedTransfer };
void bookOnSourcePosition(Table &declaration, QStringView positionKey, double litresChange, Booking booking);

// The three commands' writes, each ONE save of the declaration file, so a transfer and its source
// position can never be left out of step.
// Adding: the table's current row is the new transfer (insert or edit state); it takes the source's
// alcohol and package volume, and its litres are booked on the source.
void saveNewTransfer(Table &declaration, QStringView positionKey, const RowView &source);
// Editing: the current row is the changed transfer; the source books the difference to `oldLitres`.
void saveChangedTransfer(Table &declaration, QStringView positionKey, double oldLitres);
// Deleting: the current row is removed and its litres leave the source's charges.
void deleteTransfer(Table &declaration, QStringView positionKey);

} // namespace kalvor::transfer
