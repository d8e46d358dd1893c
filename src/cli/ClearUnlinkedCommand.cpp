#include "cli/WorkspacePeriod.h"

#include "maintenance/DeclarationRewrite.h"

namespace kalvor::cli {

Command clearUnlinkedCommand()
{
    return periodMaintenanceCommand(QStringLiteral("clear-unlinked"), QStringLiteral("Удаляет из декларации продукцию и внутренние перемещения, у которых нет накладной"),
                                    [](TAppSettings &settings) { return maintenance::clearUnlinkedRows(settings); });
}

} // namespace kalvor::cli
