#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kalvor::gui {

// "Краткая инструкция": how the month's report reaches the authority.
class TFormEmailHelp final : public QDialog {
    Q_OBJECT
public:
    explicit TFormEmailHelp(QWidget *parent = nullptr);

    // The four steps, in order.
    static QStringList steps();

    QLabel *LabelHeading = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QList<QLabel *> StepLabels;
    QPushButton *ButtonClose = nullptr;
};

} // namespace kalvor::gui
