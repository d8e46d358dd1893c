#pragma once

class QComboBox;
class QWidget;

namespace kalvor::gui {

// The month and year drop-downs of the period line and the period dialog. They hold only their items
// ("..." while nothing is chosen): a typed text could not be one of the periods, yet would be read as one.
QComboBox *monthSelector(QWidget *parent = nullptr);
// The years 2006 ... next year, and `configuredYear` (counted from 2000) when it lies outside.
QComboBox *yearSelector(int configuredYear, QWidget *parent = nullptr);

// The chosen year counted from 2000, or -1 when nothing is chosen.
int selectedYear(const QComboBox *box);
// Chooses the year (counted from 2000), adding it in its place when the list lacks it; a year no period
// can have clears the choice. The box's change signals fire as for any choice.
void selectYear(QComboBox *box, int year);

} // namespace kalvor::gui
