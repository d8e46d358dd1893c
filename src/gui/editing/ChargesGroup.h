#pragma once

#include <QString>

class QGroupBox;
class QWidget;

namespace kalvor::gui {

// The entries of the charges of a position or a transfer, laid out alike in both dialogs.
struct ChargesEntries {
    QWidget *packageCount;
    QWidget *volume;
    QWidget *markup;
    QWidget *sum;
    QWidget *returnVolume;
    QWidget *writeoff;
};

// The charges box: retail sale (packages, litres, price, sum), return to the supplier and write-off.
QGroupBox *chargesGroup(const QString &title, const ChargesEntries &entries, QWidget *parent);

} // namespace kalvor::gui
