#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QDialog;
class QWidget;

namespace kalvor::test {

// Drives the next modal dialog from inside its exec(): create the driver, then call exec(). When the
// dialog becomes the active modal widget the action runs on it (fill fields, press buttons). A dialog
// still open when the watchdog fires is forced shut and the test fails, so a broken test cannot hang.
class ModalDriver final : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void(QDialog &dialog)>;

    explicit ModalDriver(Action action, int watchdogMs = 5000);
    ~ModalDriver() override; // fails the test when no dialog ever appeared

    bool ran() const { return m_ran; }

private:
    void poll();
    void watchdog();

    Action m_action;
    QTimer m_poll;
    QTimer m_watchdog;
    QPointer<QDialog> m_dialog;
    bool m_ran = false;
};

// Shuts a dialog whatever its own checks say (they may refuse every ordinary way out).
void forceClose(QDialog &dialog);

// Types text into a widget one key event per character; QTest::keyClicks cannot type Cyrillic.
void typeText(QWidget *widget, const QString &text);
// Replaces a line edit's text by typing, as a user selecting all and typing over it would.
void retype(QWidget *lineEdit, const QString &text);

} // namespace kalvor::test
