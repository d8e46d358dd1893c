#pragma once

#include <QPushButton>

class QDialog;
class QHBoxLayout;

namespace kalvor::gui {

// The "Закрыть" button of the information windows: default, closes with Cancel; `row` receives the
// centred row that holds it.
QPushButton *closeButton(QDialog *dialog, QHBoxLayout *&row);

} // namespace kalvor::gui
