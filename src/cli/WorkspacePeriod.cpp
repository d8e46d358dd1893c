#include "cli/WorkspacePeriod.h"

#include "app/Startup.h"
#include "app/Workspace.h"
#include "store/KalvorError.h"

#include <QCoreApplication>

#include <cstdio>

namespace kalvor::cli {

QString prepareCommandWorkspace(const Options &options, WorkspaceLock *lock)
{
    WorkspaceSources sources = workspaceSources(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    if (!options.home.isEmpty())
        sources.homeOption = options.home;
    // Locked before anything is seeded, so that nothing is written beside another writer.
    if (lock)
        lock->acquire(resolveWorkspace(sources), kCommandLockPatience);
    return prepareWorkspace(sources, QCoreApplication::applicationDirPath());
}

PeriodWorkspace::PeriodWorkspace(const Options &options, Access access)
{
    const QString curDir = prepareCommandWorkspace(options, access == Access::Write ? &m_lock : nullptr);
    openConfiguration(settings, curDir);
    if (isFirstStart(settings))
        throw KalvorError(QStringLiteral("В рабочей папке %1 не выбран отчетный период").arg(curDir));
    runNormalStart(settings);
}

Command periodMessageCommand(const QString &name, const QString &summary, std::function<QString(TAppSettings &)> action)
{
    return {name, name, summary, [name, action](const Options &options, const QStringList &args) {
                if (!args.isEmpty()) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] %1").arg(name));
                    return 2;
                }
                PeriodWorkspace workspace(options, Access::Write);
                printLine(action(workspace.settings));
                return 0;
            }};
}

Command periodMaintenanceCommand(const QString &name, const QString &summary,
                                 std::function<maintenance::MaintenanceResult(TAppSettings &)> action)
{
    return periodMessageCommand(name, summary, [action](TAppSettings &settings) { return action(settings).message; });
}

} // namespace kalvor::cli
