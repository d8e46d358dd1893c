#include "cli/WorkspacePeriod.h"

#include "maintenance/DeclarationRewrite.h"

namespace kalvor::cli {

Command compactCommand()
{
    return periodMaintenanceCommand(QStringLiteral("compact"), QStringLiteral("Переписывает декларацию текущего периода без журнала изменений и сообщает, на сколько байт она уменьшилась"),
                                    [](TAppSettings &settings) { return maintenance::compactDeclaration(settings); });
}

} // namespace kalvor::cli
