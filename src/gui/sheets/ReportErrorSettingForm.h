#pragma once

#include "editing/HighlightRules.h"
#include "sheets/ErrorReport.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace kalvor::gui {

// "Настройки": which checks colour suspicious rows in the main window, and the error report. "&Ok" keeps the
// choice for the main window (result Yes); "Выгрузить в Excel" keeps it and runs the report (result OK),
// once the record count and both thresholds read as numbers. "Печать…" and "Сохранить в PDF…" do the same
// for the report on paper (results Print and Pdf).
class TReportErrorSettingForm final : public QDialog {
    Q_OBJECT
public:
    enum Result { ResultOk = QDialog::Accepted, ResultYes = 6, ResultPrint = 7, ResultPdf = 8 };

    explicit TReportErrorSettingForm(QWidget *parent = nullptr);

    QCheckBox *Chk_TTN_DATE = nullptr;
    QCheckBox *Chk_rest = nullptr;
    QCheckBox *Chk_Production_Code = nullptr;
    QCheckBox *Chk_empty = nullptr;
    QCheckBox *Chk_vodka = nullptr;
    QLineEdit *Edit_Vodka = nullptr;
    QCheckBox *Chk_Koniyak = nullptr;
    QLineEdit *Edit_Koniyak = nullptr;
    QLineEdit *Edit_RecCount = nullptr;
    QCheckBox *CheckErrors = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *Btn_Ok = nullptr;
    QPushButton *Btn_Print = nullptr;
    QPushButton *Btn_Pdf = nullptr;

    void setHighlightOptions(const HighlightOptions &options);
    HighlightOptions highlightOptions() const;
    // The report's checks and numbers as the dialog holds them (valid after result OK).
    sheets::ErrorReportOptions reportOptions() const;

    void Btn_OkClick();
    void BitBtn1Click();

protected:
    // Edit_RecCountKeyPress, for the three edits: digits, the comma and backspace; other characters are
    // dropped.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Closes with `result` once the record count and both thresholds read; else names what is wrong.
    void finishWithReport(int result);
};

} // namespace kalvor::gui
