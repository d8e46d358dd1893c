#pragma once

#include "period/CarryOver.h"

#include <QDialog>
#include <QThread>

#include <functional>
#include <memory>

class QLabel;
class QProgressBar;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

class TTransferRemainsForm;

// The worker of the carry-over: runs the pass of its window and ends.
class TRemainsThread final : public QThread {
    Q_OBJECT
public:
    explicit TRemainsThread(TTransferRemainsForm *transferRemains) : TransferRemains(transferRemains) {}
    TTransferRemainsForm *TransferRemains;

protected:
    void run() override; // Execute
};

// "Перенос остатков": shown modally while the worker carries the previous month's table over; closes
// itself when the pass ends, also after a failure, which it then holds for the caller to report. Other
// passes over a month's rows (the update of the next month) run behind it under their own caption.
class TTransferRemainsForm final : public QDialog {
    Q_OBJECT
public:
    using Pass = std::function<void(const Progress &)>;
    TTransferRemainsForm(TAppSettings &AppSettings, period::CarryOverPlan plan, QWidget *parent = nullptr);
    TTransferRemainsForm(TAppSettings &AppSettings, const QString &caption, Pass pass, QWidget *parent = nullptr);
    ~TTransferRemainsForm() override;

    TAppSettings &AppSettings;
    QLabel *Current = nullptr; // the row being processed
    QLabel *Procent = nullptr; // the number of rows
    QProgressBar *ProgressBarTotal = nullptr;

    // The pass; runs on the worker and reports through queued signals only.
    void Transfer();
    void FormActivate();

    bool succeeded() const { return m_finished && m_error.isEmpty(); }
    const QString &errorMessage() const { return m_error; }
    const period::CarryOverSummary &summary() const { return m_summary; }

Q_SIGNALS:
    void transferStarted(qint64 total);
    void transferProgressed(qint64 done);
    void transferFinished(const QString &error);

public Q_SLOTS:
    void reject() override; // Escape does nothing while the pass runs

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void showStarted(qint64 total);
    void showProgress(qint64 done);
    void finish(const QString &error);

    Pass m_pass;
    QString m_errorPrefix;
    std::unique_ptr<TRemainsThread> m_thread;
    period::CarryOverSummary m_summary;
    QString m_error;
    bool m_finished = false;
    qint64 m_total = 0;
};

} // namespace kalvor::gui
