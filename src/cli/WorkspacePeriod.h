#pragma once

#include "app/TAppSettings.h"
#include "app/WorkspaceLock.h"
#include "cli/CommandTable.h"
#include "maintenance/DeclarationRewrite.h"

#include <functional>

namespace kalvor::cli {

// How a command uses its workspace.
enum class Access { Read, Write };

// The workspace of --home (else KALVOR_HOME, ...) for one command, prepared as the desktop program
// prepares it (made and seeded from the installation) and opened on the period its configuration file
// names. A command that writes holds the workspace lock while this object lives. Throws KalvorError when
// the workspace is held by another program or has no configured period.
class PeriodWorkspace final {
public:
    PeriodWorkspace(const Options &options, Access access);

private:
    WorkspaceLock m_lock; // first in, last out: released after everything else

public:
    TAppSettings settings;
};

// The workspace folder a command works in, prepared; locked in `lock` first when given.
QString prepareCommandWorkspace(const Options &options, WorkspaceLock *lock);

// A command without arguments that runs one function on the configured period and prints its message.
Command periodMessageCommand(const QString &name, const QString &summary, std::function<QString(TAppSettings &)> action);

// A command that runs one maintenance function on the configured period and prints its message.
Command periodMaintenanceCommand(const QString &name, const QString &summary,
                                 std::function<maintenance::MaintenanceResult(TAppSettings &)> action);

} // namespace kalvor::cli
