#pragma once

#include <QObject>

namespace kalvor::gui {

// Turns every mouse-wheel turn of the application into an Up or Down arrow key for the focused control,
// so a grid moves one row per wheel step. A turn away from the user (positive distance) is Up; any
// other turn, a zero one included, is Down.
class WheelTranslator final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The key a wheel distance turns into.
    static int keyForDistance(int distance) { return distance > 0 ? Qt::Key_Up : Qt::Key_Down; }
};

} // namespace kalvor::gui
