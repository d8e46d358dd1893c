#pragma once

#include "editing/PositionEditing.h"

#include <QString>

class QGridLayout;
class QLabel;
class QWidget;

namespace kalvor {
class Table;
}

namespace kalvor::gui {

class BoundLabel;
class BoundLineEdit;
class DataBinding;

// Pieces the position and the transfer dialogs build alike.

// An entry bound to a field, named as the dialogs' controls are.
BoundLineEdit *boundEdit(DataBinding &binding, const char *name, const QString &field, QWidget *parent);
// A framed label showing a field the arithmetic fills.
BoundLabel *boundText(DataBinding &binding, const char *name, const QString &field, QWidget *parent);
// LabelRestVolume: the opening remains in packages.
QLabel *restInPackagesLabel(QWidget *parent);
// The rows "Наличие на начало месяца" in litres (an entry) and in packages.
QGridLayout *openingRestRows(QWidget *litres, QLabel *packages, QWidget *parent);
// Shows the opening remains in packages of the row being edited.
void showRestInPackages(QLabel *label, const Table &row);
// Recomputes the derived fields of the row being edited (putting it into edit state first); a failure
// is shown. False when there is no row to compute.
bool recalculateRow(Table &row, position::RowKind kind, QWidget *parent);

} // namespace kalvor::gui
