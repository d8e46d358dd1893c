#include "gui/WheelTranslator.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QWidget>

namespace kalvor::gui {

bool WheelTranslator::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QObject::eventFilter(watched, event);
    const auto *wheel = static_cast<QWheelEvent *>(event);
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return QObject::eventFilter(watched, event);
    const int key = keyForDistance(wheel->angleDelta().y());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    // The wheel event is consumed, so it never travels on to the parents and is translated once.
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
    return true;
}

} // namespace kalvor::gui
