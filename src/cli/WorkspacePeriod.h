#pragma once

#include "app/TAppSettings.h"
#include "cli/CommandTable.h"
#include "maintenance/DeclarationRewrite.h"

#include <functional>

namespace kalvor::cli {

// Opens the workspace of --home (else KALVOR_HOME, ...) on the period its configuration file names, the
// way the program starts. Throws KalvorError when the workspace has no configured period.
void openConfiguredPeriod(const Options &options, TAppSettings &settings);

// A command without arguments that runs one function on the configured period and prints its message.
Command periodMessageCommand(const QString &name, const QString &summary, std::function<QString(TAppSettings &)> action);

// A command that runs one maintenance function on the configured period and prints its message.
Command periodMaintenanceCommand(const QString &name, const QString &summary,
                                 std::function<maintenance::MaintenanceResult(TAppSettings &)> action);

} // namespace kalvor::cli
