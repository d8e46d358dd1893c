#include "cli/WorkspacePeriod.h"

#include "app/Startup.h"
#include "app/Workspace.h"
#include "store/KalvorError.h"

#include <QCoreApplication>

#include <cstdio>

namespace kalvor::cli {

void openConfiguredPeriod(const Options &options, TAppSettings &settings)
{
    WorkspaceSources sources = workspaceSources(QCoreApplication::arguments(), QCoreApplication::applicationDirPath());
    if (!options.home.isEmpty())
        sources.homeOption = options.home;
    const QString curDir = resolveWorkspace(sources);
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
                TAppSettings settings;
                openConfiguredPeriod(options, settings);
                std::printf("%s\n", action(settings).toUtf8().constData());
                return 0;
            }};
}

Command periodMaintenanceCommand(const QString &name, const QString &summary,
                                 std::function<maintenance::MaintenanceResult(TAppSettings &)> action)
{
    return periodMessageCommand(name, summary, [action](TAppSettings &settings) { return action(settings).message; });
}

} // namespace kalvor::cli
