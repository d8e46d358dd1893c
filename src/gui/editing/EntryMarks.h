#pragma once

#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QWidget>

namespace kalvor::gui {

// The warning colour of the entry dialogs.
inline const QColor kEntryWarningColour{0xFF, 0x88, 0x00};

// Paints an entry (edit, drop-down or display label) in the warning colour, or white. A display the
// program fills goes back to the dialog's own colour, so it never looks like an entry.
inline void paintEntryMark(QWidget *entry, bool warning)
{
    const QColor colour = warning ? kEntryWarningColour : QColor(Qt::white);
    QPalette look = entry->palette();
    look.setColor(QPalette::Base, colour);
    if (qobject_cast<QComboBox *>(entry) != nullptr)
        look.setColor(QPalette::Button, colour);
    if (qobject_cast<QLabel *>(entry) != nullptr) {
        look.setColor(QPalette::Window, warning ? colour : entry->parentWidget()->palette().color(QPalette::Window));
        entry->setAutoFillBackground(warning);
    }
    entry->setPalette(look);
}

inline bool hasWarningMark(const QWidget *entry)
{
    const QPalette::ColorRole role = qobject_cast<const QLabel *>(entry) != nullptr ? QPalette::Window : QPalette::Base;
    return entry->palette().color(role) == kEntryWarningColour;
}

// A red, bold note kept hidden until a check needs it.
inline QLabel *hiddenWarningLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(look);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->hide();
    return label;
}

} // namespace kalvor::gui
