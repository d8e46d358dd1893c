#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kalvor::gui {

// Asks before the updater starts: the program is closed for the update. Result Yes for "Обновить",
// Cancel for "Отмена".
class TConfirmation_Form final : public QDialog {
    Q_OBJECT
public:
    explicit TConfirmation_Form(QWidget *parent = nullptr);

    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr; // "Внимание!"
    QLabel *Label2 = nullptr; // "Перед обновлением программа будет закрыта"
    QLabel *Msg = nullptr;    // the outcome of the check
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
};

} // namespace kalvor::gui
