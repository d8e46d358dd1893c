#include "cli/WorkspacePeriod.h"

#include "maintenance/FieldCorrections.h"

namespace kalvor::cli {

Command replaceWaybillsCommand()
{
    return periodMaintenanceCommand(QStringLiteral("replace-waybills"), QStringLiteral("Заменяет номера ТТН по файлу data/default1.txt"),
                                    [](TAppSettings &settings) { return maintenance::replaceWaybillNumbers(settings); });
}

} // namespace kalvor::cli
