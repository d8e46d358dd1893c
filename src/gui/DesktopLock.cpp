#include "gui/DesktopLock.h"

#include "app/Workspace.h"
#include "app/WorkspaceLock.h"
#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"

namespace kalvor::gui {

bool lockDesktopWorkspace(WorkspaceLock &lock, const QStringList &arguments, const QString &executableDir)
{
    try {
        lock.acquire(resolveWorkspace(workspaceSources(arguments, executableDir)), kDesktopLockPatience);
        return true;
    } catch (const KalvorError &e) {
        MessageBoxes::error(nullptr, e.message());
        return false;
    }
}

} // namespace kalvor::gui
