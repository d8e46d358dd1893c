#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QAction;
class QFileSystemWatcher;
class QLabel;
class QThread;
class QTimer;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// "Обновить остатки следующего месяца": after a month is corrected, the month after it opens with the
// corrected closing remains and keeps its own entries. The period line's note says when the next
// month's opening remains no longer match, with the command as its link; the note follows every change
// of the two months' folders, checked on a worker so editing never waits for it.
class NextMonthCommands final : public QObject {
    Q_OBJECT
public:
    NextMonthCommands(TAppSettings &settings, QWidget *window, QObject *parent = nullptr);
    ~NextMonthCommands() override;

    QAction *UpdateNextMonthAction = nullptr;
    void createActions(QObject *owner);
    // The note for the period line, hidden while the next month is up to date (or there is none).
    QLabel *createNotice(QWidget *parent);

    void UpdateNextMonthActionExecute();
    // Every time the settings name another period: the command and the note follow it.
    void periodChanged();

    // Whether the note currently says the next month is out of date (for tests).
    bool nextMonthStale() const { return m_stale; }
    // Runs the pending check at once and waits for it (for tests).
    void checkNow();

Q_SIGNALS:
    void checked(); // the note shows the result of a check

private:
    // The month after the current one, when the current period is the workspace's own.
    bool nextMonth(int &year, int &month) const;
    void watchFolders();
    void startCheck();
    void showCheck(bool stale, const QString &periodText);

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    QPointer<QLabel> m_notice;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_delay = nullptr;
    std::unique_ptr<QThread> m_checker;
    bool m_checkAgain = false; // a change arrived while a check was running
    bool m_stale = false;
};

} // namespace kalvor::gui
