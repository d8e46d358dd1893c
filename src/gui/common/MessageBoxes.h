#pragma once

#include <QMessageBox>
#include <QString>

#include <deque>

class QWidget;

namespace kalvor::gui {

// Every message box of the program goes through here, so tests can answer them without a person:
// setNextAnswer() queues the button the next box "returns", and the texts shown are recorded.
class MessageBoxes final {
public:
    // A plain information box with "OK" (the program's fixed messages).
    static void information(QWidget *parent, const QString &text);
    // The standard error box for a failure's text.
    static void error(QWidget *parent, const QString &text);
    // A yes/no question; returns the button chosen. Enter answers `defaultButton` when one is given.
    static QMessageBox::StandardButton question(QWidget *parent, const QString &text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    // --- for tests -------------------------------------------------------------------------------
    // While answers are queued (or automatic answering is on) no box is shown.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // Every box answers with its default button (else OK / Yes / No / Cancel, the first it has).
    static void setAnswerAutomatically(bool on);
    static const QStringList &shownTexts();
    static void clearShownTexts();

private:
    static QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
};

} // namespace kalvor::gui
