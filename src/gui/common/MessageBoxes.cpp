#include "gui/common/MessageBoxes.h"

#include <QApplication>

namespace kalvor::gui {
namespace {

std::deque<QMessageBox::StandardButton> &answers()
{
    static std::deque<QMessageBox::StandardButton> queue;
    return queue;
}

bool &automatic()
{
    static bool on = false;
    return on;
}

QStringList &shown()
{
    static QStringList texts;
    return texts;
}

} // namespace

QMessageBox::StandardButton MessageBoxes::show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton)
{
    shown().append(text);
    if (!answers().empty()) {
        const QMessageBox::StandardButton answer = answers().front();
        answers().pop_front();
        return answer;
    }
    if (automatic()) {
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            if (buttons.testFlag(b))
                return b;
        return QMessageBox::NoButton;
    }
    // The application's title stands in every box's caption.
    QMessageBox box(icon, QApplication::applicationName(), text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBoxes::information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, text, QMessageBox::Ok);
}

void MessageBoxes::error(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

QMessageBox::StandardButton MessageBoxes::question(QWidget *parent, const QString &text,
                                                   QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    return show(parent, QMessageBox::Question, text, buttons, defaultButton);
}

void MessageBoxes::setNextAnswer(QMessageBox::StandardButton answer) { answers().push_back(answer); }

void MessageBoxes::setAnswerAutomatically(bool on) { automatic() = on; }

const QStringList &MessageBoxes::shownTexts() { return shown(); }

void MessageBoxes::clearShownTexts()
{
    shown().clear();
    answers().clear();
}

} // namespace kalvor::gui
