#include "cli/WorkspacePeriod.h"

#include "maintenance/FieldCorrections.h"

namespace kalvor::cli {

Command convertKindsCommand()
{
    return periodMaintenanceCommand(QStringLiteral("convert-kinds"), QStringLiteral("Переводит коды видов продукции из старого списка в новый (один раз за период)"),
                                    [](TAppSettings &settings) { return maintenance::convertKindProduction(settings); });
}

} // namespace kalvor::cli
