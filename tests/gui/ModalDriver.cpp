#include "ModalDriver.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace kalvor::test {

ModalDriver::ModalDriver(Action action, int watchdogMs) : m_action(std::move(action))
{
    m_poll.setInterval(10);
    connect(&m_poll, &QTimer::timeout, this, &ModalDriver::poll);
    m_poll.start();
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &ModalDriver::watchdog);
    m_watchdog.start(watchdogMs);
}

ModalDriver::~ModalDriver()
{
    if (!m_ran)
        ADD_FAILURE() << "no modal dialog appeared for the driver";
}

void ModalDriver::poll()
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible())
        return;
    m_poll.stop();
    m_dialog = dialog;
    m_ran = true;
    m_action(*dialog);
}

void ModalDriver::watchdog()
{
    m_poll.stop();
    if (!m_ran) {
        // exec() is running but no dialog became modal: close whatever is there.
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            forceClose(*dialog);
        return;
    }
    if (m_dialog && m_dialog->isVisible()) {
        ADD_FAILURE() << "the dialog \"" << m_dialog->windowTitle().toStdString() << "\" was left open";
        forceClose(*m_dialog);
    }
}

void forceClose(QDialog &dialog)
{
    // The base implementation, past the dialog's own close checks.
    dialog.QDialog::done(QDialog::Rejected);
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Latin letters, digits and punctuation have key codes of their own; anything else is text only.
        const Qt::Key key = u < 0x80 ? static_cast<Qt::Key>(QChar(u).toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void retype(QWidget *lineEdit, const QString &text)
{
    if (auto *edit = qobject_cast<QLineEdit *>(lineEdit))
        edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(lineEdit, Qt::Key_Delete);
    else
        typeText(lineEdit, text);
}

} // namespace kalvor::test
