#include "gui/AppIcon.h"

#include <QDirIterator>
#include <QGuiApplication>

namespace kalvor::gui {

QIcon applicationIcon()
{
    QIcon icon;
    QDirIterator it(QStringLiteral(":/icons"), {QStringLiteral("kalvor.png")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        icon.addFile(it.next());
    return icon;
}

void installApplicationIcon()
{
    QGuiApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("kalvor"));
}

} // namespace kalvor::gui
