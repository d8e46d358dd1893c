#include "cli/WorkspacePeriod.h"

#include "period/Reconciliation.h"

#include <cstdio>

namespace kalvor::cli {

Command reconcileCommand()
{
    return {QStringLiteral("reconcile"), QStringLiteral("reconcile"),
            QStringLiteral("Сверяет остатки на конец периода и суммы закупки каждой строки декларации текущего "
                           "периода с расчетными и записывает расхождения в error.log"),
            [](const Options &options, const QStringList &args) {
                if (!args.isEmpty()) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] reconcile"));
                    return 2;
                }
                TAppSettings settings;
                openConfiguredPeriod(options, settings);
                const period::ReconciliationResult result = period::reconcileDeclaration(settings);
                std::printf("%s\n", result.message.toUtf8().constData());
                return 0;
            }};
}

} // namespace kalvor::cli
