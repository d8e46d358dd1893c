#include "cli/WorkspacePeriod.h"

#include "maintenance/FieldCorrections.h"

namespace kalvor::cli {

Command fillRegionsCommand()
{
    return periodMaintenanceCommand(QStringLiteral("fill-regions"), QStringLiteral("Заполняет код региона по наименованию производителя"),
                                    [](TAppSettings &settings) { return maintenance::fillRegions(settings); });
}

} // namespace kalvor::cli
