#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kalvor::gui {

// The deletion question of the invoice, position and transfer commands. The caller sets the text of
// `Msg`; "Удалить" ends the dialog with QMessageBox::Yes, "Отмена" (and Escape) with QMessageBox::Cancel.
class TDeleteForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDeleteForm(QWidget *parent = nullptr);

    // Sets the question and shows the dialog modally; true only for "Удалить".
    bool confirm(const QString &question);

    QLabel *Msg = nullptr;
    QPushButton *DeleteButton = nullptr;
    QPushButton *CancelButton = nullptr;
};

} // namespace kalvor::gui
