#include "cli/WorkspacePeriod.h"

#include "maintenance/FieldCorrections.h"

namespace kalvor::cli {

Command recomputePurchasesCommand()
{
    return periodMaintenanceCommand(QStringLiteral("recompute-purchases"), QStringLiteral("Пересчитывает цену и сумму закупки и количество проданной тары"),
                                    [](TAppSettings &settings) { return maintenance::recomputePurchases(settings); });
}

} // namespace kalvor::cli
