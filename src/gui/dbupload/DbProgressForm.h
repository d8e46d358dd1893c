#pragma once

#include "app/Progress.h"

#include <QDialog>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kalvor::gui {

// The progress window of the database commands: shown modally while a worker runs the upload, with
// the item being worked on, a bar and "Отмена". Cancelling asks the work to stop at its next safe
// point (after the current file, or before the commit); the window closes itself when the work ends.
class TDbProgressForm final : public QDialog {
    Q_OBJECT
public:
    // Runs on the worker thread; failures are thrown as KalvorError.
    using Work = std::function<void(TDbProgressForm &form, const Progress &progress)>;

    TDbProgressForm(const QString &caption, Work work, QWidget *parent = nullptr);
    ~TDbProgressForm() override;

    QLabel *Current = nullptr;
    QProgressBar *ProgressBarTotal = nullptr;
    QPushButton *ButtonCancel = nullptr;

    // For the work, from the worker thread: the item being worked on, and a message the person reads
    // before the work goes on (the call waits until the box is closed).
    void showCurrent(const QString &text);
    void showNotice(const QString &message);

    bool succeeded() const { return m_finished && m_error.isEmpty(); }
    const QString &errorMessage() const { return m_error; }
    bool cancelRequested() const { return m_cancel.load(); }

Q_SIGNALS:
    void workStarted(qint64 total);
    void workProgressed(qint64 done);
    void currentChanged(const QString &text);
    void workFinished(const QString &error);

public Q_SLOTS:
    void reject() override; // Escape and the close box cancel, as "Отмена" does

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormActivate();
    void ButtonCancelClick();
    void showStarted(qint64 total);
    void showProgress(qint64 done);
    void finish(const QString &error);

    Work m_work;
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_cancel{false};
    QString m_error;
    bool m_finished = false;
    qint64 m_total = 0;
};

} // namespace kalvor::gui
