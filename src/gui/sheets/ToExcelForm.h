#pragma once

#include "sheets/ErrorReport.h"
#include "sheets/SheetExport.h"

#include <QDialog>
#include <QThread>

#include <atomic>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kalvor::gui {

class TToExcelForm;

// The worker of a spreadsheet export: runs its window's export and ends.
class TToExcel final : public QThread {
    Q_OBJECT
public:
    explicit TToExcel(TToExcelForm *toExcel) : ToExcel(toExcel) {}
    TToExcelForm *ToExcel;

protected:
    void run() override; // Execute
};

// "Выгрузка в Excel": shown modally while the worker lays the declaration out and writes the workbook
// into the workspace's temp/. "Отмена" or the close box asks the worker to stop after the current row
// (what was written so far is still handed over); the window closes itself when the worker is done.
class TToExcelForm : public QDialog {
    Q_OBJECT
public:
    TToExcelForm(sheets::SheetExportPlan plan, QWidget *parent = nullptr);
    ~TToExcelForm() override;

    QProgressBar *ProgressBarTotal = nullptr;
    QLabel *Current = nullptr; // the record being laid out
    QLabel *Procent = nullptr; // the number of records
    QPushButton *Button1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr; // rows of a missing invoice

    std::atomic<bool> terminateThread{false}; // the user asked to stop
    std::atomic<bool> doClose{false};         // the worker is done; the window may close

    void SetPeriod(const QString &text) { m_plan.periodDate = text; }
    // The export, on the worker: reports through queued signals only.
    virtual void ExportToExcel();

    // After the window closed: the workbook written (empty when nothing was), whether it is complete, and
    // the failure that ended the export, if any.
    const QString &workbook() const { return m_workbook; }
    bool complete() const { return m_complete; }
    const QString &errorMessage() const { return m_error; }
    const sheets::TRemains &periodTotal() const { return m_total; }

Q_SIGNALS:
    void exportStarted(qint64 total);
    void exportProgressed(qint64 done);
    void lineAdded(const QString &line);
    void exportFinished();

public Q_SLOTS:
    void reject() override; // Escape asks to stop

protected:
    TToExcelForm(sheets::SheetExportPlan plan, const QString &caption, const QString &errorsCaption, QWidget *parent);
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The Progress that reaches this window: about two hundred steps whatever the size.
    Progress progress();
    // Saves the layout into temp/ under a name no office program holds open.
    void handOver(const sheets::XlsxWorkbook &workbook, const sheets::SheetLayout &sheet);
    // Runs `work` catching what it throws into the window's error.
    void guarded(const std::function<void()> &work);

    sheets::SheetExportPlan m_plan;
    QString m_workbook;
    bool m_complete = false;
    QString m_error;
    sheets::TRemains m_total;

private:
    void FormActivate();
    void showStarted(qint64 total);
    void showProgress(qint64 done);
    void finish();

    std::unique_ptr<TToExcel> m_thread;
    qint64 m_total_rows = 0;
    qint64 m_stride = 1;
};

// "Выгрузка ошибок в Excel": the same window running the error report.
class TToExcelErrorForm final : public TToExcelForm {
    Q_OBJECT
public:
    TToExcelErrorForm(sheets::SheetExportPlan plan, const sheets::ErrorReportOptions &options,
                      QWidget *parent = nullptr);
    void ExportToExcel() override;

private:
    sheets::ErrorReportOptions m_options;
};

} // namespace kalvor::gui
