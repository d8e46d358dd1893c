#include "gui/common/TabOrder.h"

#include <QEvent>
#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace kalvor::gui {

void orderTabsVisually(QWidget *window)
{
    if (window->layout() != nullptr)
        window->layout()->activate();
    struct Placed {
        QWidget *widget;
        QRect rect;
    };
    std::vector<Placed> placed;
    // The inner parts of a compound control (a combo box's edit, a spin box's buttons) follow it.
    const auto insideControl = [window](const QWidget *child) {
        for (const QWidget *p = child->parentWidget(); p != nullptr && p != window; p = p->parentWidget())
            if ((p->focusPolicy() & Qt::TabFocus) || p->focusProxy() != nullptr)
                return true;
        return false;
    };
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (!(child->focusPolicy() & Qt::TabFocus) || !child->isVisibleTo(window) || insideControl(child))
            continue;
        placed.push_back({child, QRect(child->mapTo(window, QPoint(0, 0)), child->size())});
    }
    if (placed.size() < 2)
        return;
    // Rows: a control whose middle lies within the first control of the row belongs to that row.
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed &a, const Placed &b) { return a.rect.center().y() < b.rect.center().y(); });
    std::vector<Placed> ordered;
    ordered.reserve(placed.size());
    for (std::size_t start = 0; start < placed.size();) {
        std::size_t end = start + 1;
        const QRect &first = placed[start].rect;
        while (end < placed.size() && placed[end].rect.center().y() <= first.bottom())
            ++end;
        std::stable_sort(placed.begin() + static_cast<std::ptrdiff_t>(start),
                         placed.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Placed &a, const Placed &b) { return a.rect.left() < b.rect.left(); });
        ordered.insert(ordered.end(), placed.begin() + static_cast<std::ptrdiff_t>(start),
                       placed.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1].widget, ordered[i].widget);
}

namespace {

class TabOrderOnShow final : public QObject {
public:
    explicit TabOrderOnShow(QWidget *window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == parent())
            orderTabsVisually(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void orderTabsWhenShown(QWidget *window)
{
    new TabOrderOnShow(window);
}

} // namespace kalvor::gui
