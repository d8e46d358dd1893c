#include "cli/WorkspacePeriod.h"

#include "period/Reconciliation.h"

namespace kalvor::cli {

Command reconcileCommand()
{
    return periodMessageCommand(
        QStringLiteral("reconcile"),
        QStringLiteral("Сверяет остатки на конец периода и суммы закупки каждой строки декларации текущего "
                       "периода с расчетными и записывает расхождения в error.log"),
        [](TAppSettings &settings) { return period::reconcileDeclaration(settings).message; });
}

} // namespace kalvor::cli
