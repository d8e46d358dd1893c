#pragma once

#include "app/UpdateCheck.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QPlainTextEdit;
class QWidget;

namespace kalvor::gui {

class TConfirmation_Form;

// The update notice and the update check of the main window. The window owns one object, calls
// fetchAtStartup() right after reading the version, runs TestUpdateActionExecute() from "Обновить"
// and closes itself (setting its update-exit flag) on exitRequested().
class UpdateCommands final : public QObject {
    Q_OBJECT
public:
    // `window` is the parent of the confirmation window; `memo` receives the notice's lines (when null,
    // a hidden one of our own does).
    UpdateCommands(const QString &curDir, const QString &noticeUrl, const QString &updaterProgram,
                   QWidget *window, QPlainTextEdit *memo = nullptr, QObject *parent = nullptr);
    ~UpdateCommands() override;

    // The silent fetch: on success the notice's lines are in Memo1, otherwise nothing happens.
    void fetchAtStartup();
    // The check: fetch, tell the outcome in TConfirmation_Form and start the updater on "Обновить".
    // Silent without a network or notice; does nothing while a check is already under way.
    void TestUpdateActionExecute();

    QPlainTextEdit *Memo1() const { return m_memo; }
    UpdateNoticeFetcher &fetcher() { return m_fetcher; }
    const QString &updaterProgram() const { return m_updaterProgram; }

    // --- seams for tests ---------------------------------------------------------------------------
    // Shows the window modally and returns its result; exec() by default.
    void setConfirmationRunner(std::function<int(TConfirmation_Form &)> runner) { m_runConfirmation = std::move(runner); }
    // Starts the updater; startUpdater() by default.
    void setUpdaterStarter(std::function<bool(const QString &)> starter) { m_startUpdater = std::move(starter); }

Q_SIGNALS:
    // The updater runs: the main window must close now.
    void exitRequested();

private:
    bool fetchIntoMemo();

    UpdateNoticeFetcher m_fetcher;
    QString m_updaterProgram;
    QPointer<QWidget> m_window;
    std::unique_ptr<QPlainTextEdit> m_ownMemo;
    QPlainTextEdit *m_memo = nullptr;
    std::function<int(TConfirmation_Form &)> m_runConfirmation;
    std::function<bool(const QString &)> m_startUpdater;
    bool m_checking = false;
};

} // namespace kalvor::gui
