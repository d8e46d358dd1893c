#pragma once

#include "reports/ReportSpan.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kalvor::gui {

// The period dialog of the regulator reports "Сформировать отчет за период": the first and the last month
// of the span, the filer's INN for the control report (hidden otherwise) and the disabled "по всем
// объектам". The years run from 2006 to the year after `currentYear`.
class TReportPeriodForm final : public QDialog {
    Q_OBJECT
public:
    explicit TReportPeriodForm(QWidget *parent = nullptr, int currentYear = QDate::currentDate().year());

    // Shows the INN field; it then gets the focus when the dialog opens.
    void setINNVisible(bool visible);
    // Both the start and the end on this month (1-12) of this four-digit year; a year the lists do not
    // offer leaves them as they are.
    void setPeriod(int year, int month);

    reports::ReportSpan span() const;
    QString inn() const;

    QComboBox *ComboBoxStartMonth = nullptr;
    QComboBox *ComboBoxStartYear = nullptr;
    QComboBox *ComboBoxEndMonth = nullptr;
    QComboBox *ComboBoxEndYear = nullptr;
    QLabel *LabelINN = nullptr;
    QLineEdit *INNEdit = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QPushButton *ButtonOk = nullptr;
    QPushButton *ButtonCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace kalvor::gui
