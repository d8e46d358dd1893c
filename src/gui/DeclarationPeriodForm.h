#pragma once

#include "app/Startup.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace kalvor::gui {

// The period dialog "Создание новой декларации": a month and a year for a period that does not exist yet.
class TDeclarationPeriodForm final : public QDialog {
    Q_OBJECT
public:
    enum class Mode {
        FirstStart, // cannot be left before a month and a year are chosen; no transfer, no "Отмена"
        NewPeriod   // may be cancelled; the remains transfer can be switched off
    };

    explicit TDeclarationPeriodForm(QWidget *parent = nullptr);

    void setMode(Mode mode);
    // While on, the dialog does not close until both selectors have an item chosen; while off it may be
    // cancelled at any time, but "Создать" still waits for both.
    void setCloseCheck(bool on) { m_closeCheck = on; }
    bool closeCheck() const { return m_closeCheck; }

    int monthIndex() const; // 0 = January; -1 when nothing is chosen
    int yearIndex() const;  // 0 = 2006; -1 when nothing is chosen
    PeriodChoice choice() const { return {monthIndex(), yearIndex()}; }
    bool transferRemains() const;

    // Whether both selectors have an item chosen; when not, the missing one gets the focus.
    bool FormClose();

    QComboBox *ComboBoxMonth = nullptr;
    QComboBox *ComboBoxYear = nullptr;
    QCheckBox *CheckBoxTransfer = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

public Q_SLOTS:
    void done(int result) override;
    void reject() override;

private:
    bool m_closeCheck = true;
};

} // namespace kalvor::gui
