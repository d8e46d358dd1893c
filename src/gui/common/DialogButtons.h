#pragma once

#include <QPushButton>

class QDialog;
class QHBoxLayout;

namespace kalvor::gui {

// Button rows shared by the dialogs.

// The "Закрыть" button of the information windows: default, closes with Cancel; `row` receives the
// centred row that holds it.
QPushButton *closeButton(QDialog *dialog, QHBoxLayout *&row);

// "Сохранить" (the default button) and "Отмена" at the right end of a row, with the object names the
// dialog gives them; the caller connects them.
QHBoxLayout *saveCancelRow(const QString &saveName, const QString &cancelName, QPushButton *&save, QPushButton *&cancel);

} // namespace kalvor::gui
