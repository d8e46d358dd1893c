#pragma once

#include <QLabel>

namespace kalvor::gui {

// A label that acts as a link: blue, bold, underlined, a hand cursor, clicked by the mouse or by
// Space/Enter when it has the focus.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace kalvor::gui
