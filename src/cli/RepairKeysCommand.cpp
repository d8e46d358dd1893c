#include "cli/WorkspacePeriod.h"

#include "maintenance/DeclarationRewrite.h"

namespace kalvor::cli {

Command repairKeysCommand()
{
    return periodMaintenanceCommand(QStringLiteral("repair-keys"), QStringLiteral("Исправляет ключи dkey, сдвинутые на один знак (позиция 000001 становится 000010)"),
                                    [](TAppSettings &settings) { return maintenance::repairKeys(settings); });
}

} // namespace kalvor::cli
