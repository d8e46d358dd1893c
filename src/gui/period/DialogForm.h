#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace kalvor::gui {

// "Добавление отчета": whether a chosen report is added to the open one or replaces it.
class TDialogForm final : public QDialog {
    Q_OBJECT
public:
    enum Choice { Cancel = 0, Add = 1, Replace = 2 }; // the results of exec()

    explicit TDialogForm(QWidget *parent = nullptr);

    QLabel *Msg = nullptr;
    QPushButton *ButtonAdd = nullptr;     // "Добавить.."
    QPushButton *ButtonReplace = nullptr; // "Заменить.."
    QPushButton *ButtonCancel = nullptr;  // "Отмена"
};

} // namespace kalvor::gui
