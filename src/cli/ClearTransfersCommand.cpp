#include "cli/WorkspacePeriod.h"

#include "maintenance/FieldCorrections.h"

namespace kalvor::cli {

Command clearTransfersCommand()
{
    return periodMaintenanceCommand(QStringLiteral("clear-transfers"), QStringLiteral("Удаляет коды и объемы внутренних перемещений из накладных и продукции"),
                                    [](TAppSettings &settings) { return maintenance::clearTransferFigures(settings); });
}

} // namespace kalvor::cli
