#pragma once

#include <QString>
#include <QStringList>

namespace kalvor {
class WorkspaceLock;
}

namespace kalvor::gui {

// Takes the workspace lock for the desktop program's whole run, before anything in the workspace is
// touched. When another program holds the workspace, says who in an error box and answers false: the
// program must not start then.
bool lockDesktopWorkspace(WorkspaceLock &lock, const QStringList &arguments, const QString &executableDir);

} // namespace kalvor::gui
