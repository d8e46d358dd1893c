#pragma once

#include "store/RowView.h"

#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace kalvor {
class Table;
}

namespace kalvor::position {

// Number of the last position of a table filtered to one invoice's positions and ordered by key; 0
// when there is none or its key is empty. A key whose position number is not digits throws KalvorError.
int lastPositionNumber(const Table &positions);
// The key of a new position of that invoice; refuses (KalvorError) a number past 999999.
QString newPositionKey(const Table &positions, QStringView invoiceKey);

// Volume and sum of the coming, volume and sum of the retail sale and the closing remains of the
// current row (edit or insert state), each only when the values it needs are present. A position
// recomputes all of them; a transfer row has no coming of its own and skips the first two.
enum class RowKind { Position, Transfer };
void calculateSomeFields(Table &table, RowKind kind);
// The opening remains in packages (rest_volume / package_volume), when both are present and the
// package is not empty.
std::optional<double> restVolumeInPackages(const RowView &row);
// The same as the user reads it: the shortest decimal form with a comma; empty when there is none.
QString restVolumeInPackagesText(const RowView &row);

// The fields a position takes from the product chosen in the production reference.
const QStringList &referenceFields();
// The fields a copied position takes from the position it copies: the product, its package and the
// subdivision; the quantities are typed anew.
const QStringList &copiedFields();
// The fields a position takes from its invoice when it is saved (added or copied).
const QStringList &invoiceFields();
// Copies the named fields of a row into the current row of `to` (in edit or insert state); values of
// columns `to` lacks are skipped, NULL stays NULL.
void copyFields(const RowView &from, Table &to, const QStringList &fields);

// What an added or copied position takes on saving: the invoice's supplier and waybill, and no
// transfers yet (other_charges 0). The row must be in edit or insert state.
void completeNewPosition(Table &position, const RowView &invoice);

// Dates of manufacture: "дд.мм.гг", more of them each after one separator character.
bool productionNumberFormatAccepted(QStringView text);
// Keys the date-of-manufacture entry takes: digits and the separators , . / ;
bool productionNumberCharAccepted(QChar c);
// A package count that is empty, negative or above 1000 earns the warning before saving (not a refusal).
bool packageCountSuspicious(const RowView &row);

// The checks of "Сохранить", in their order. `warned` lists the fields (by column name, plus
// "department_code" and "region_code" for the drop-downs) to paint in the warning colour; the other
// checked entries are painted white.
struct PositionCheck {
    QSet<QString> warned;
    bool missingOrNegative = false; // "Исправьте выделенные поля! "
    bool dateFormatRefused = false; // the date-format message
    bool kindUnknown = false;
    bool passed() const { return !missingOrNegative && !dateFormatRefused && !kindUnknown; }
};
// `newPosition` is true for a position made by the add command (only those get the date-format rule);
// `kindKnown` tells whether the kinds reference has the row's production_code.
PositionCheck checkPosition(const RowView &row, bool newPosition, bool kindKnown);
// Every entry the checks paint (white when not warned).
const QStringList &checkedFields();

// The month's quantities of a position and of a transfer row: left empty, they mean that nothing
// happened, so they are written as 0 before the checks rather than refused.
const QStringList &positionQuantities();
const QStringList &transferQuantities();
// Writes 0 into those of `fields` the current row leaves empty (putting it into edit state first);
// returns how many.
int zeroEmptyQuantities(Table &row, const QStringList &fields);

} // namespace kalvor::position
