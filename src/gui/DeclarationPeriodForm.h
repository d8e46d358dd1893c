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
        FirstStart, // no transfer and no "Отмена"; Escape or the close box leave with nothing chosen
        NewPeriod   // may be cancelled; the remains transfer can be switched off
    };

    // The year list runs from 2006 to next year and holds `configuredYear` (counted from 2000) too.
    explicit TDeclarationPeriodForm(QWidget *parent = nullptr, int configuredYear = -1);

    void setMode(Mode mode);
    // Chooses a month (1-12) and a year (counted from 2000) as if the user had picked them.
    void setPeriod(int year, int month);

    int monthIndex() const; // 0 = January; -1 when nothing is chosen
    int year() const;       // counted from 2000; -1 when nothing is chosen
    PeriodChoice choice() const { return {monthIndex() + 1, year()}; }
    bool transferRemains() const;

    // Whether both selectors have an item chosen; when not, the missing one gets the focus.
    bool FormClose();

    QComboBox *ComboBoxMonth = nullptr;
    QComboBox *ComboBoxYear = nullptr;
    QCheckBox *CheckBoxTransfer = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

public Q_SLOTS:
    // "Создать" (and Enter) closes only with a month and a year chosen.
    void done(int result) override;
};

} // namespace kalvor::gui
