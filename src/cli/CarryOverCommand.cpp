#include "cli/WorkspacePeriod.h"

#include "app/Version.h"
#include "period/CarryOver.h"
#include "period/NextMonthUpdate.h"
#include "store/KalvorError.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace kalvor::cli {

namespace {

int usage()
{
    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] carry-over ГГГГММ [--empty | --replace | --update]"));
    return 2;
}

// The month exists already: only its opening remains follow the month before it.
int updateNextMonth(const TAppSettings &settings, int year, int month)
{
    const period::NextMonthUpdatePlan plan = period::planNextMonthUpdate(settings, year, month);
    const period::NextMonthUpdateSummary summary = period::updateNextMonthRemains(plan, versionText());
    if (summary.upToDate()) {
        printLine(QStringLiteral("Остатки за период %1 совпадают с остатками за %2: декларация не изменена")
                      .arg(plan.periodString, plan.previousPeriodString));
        return 0;
    }
    period::installNextMonthUpdate(settings, plan);
    printLine(QStringLiteral("Обновлены остатки за период %1: %2; изменено строк: %3, добавлено строк: %4")
                  .arg(plan.periodString, QDir::toNativeSeparators(plan.declarationFileName))
                  .arg(summary.rowsChanged)
                  .arg(summary.rowsAdded));
    return 0;
}

} // namespace

Command carryOverCommand()
{
    return {QStringLiteral("carry-over"), QStringLiteral("carry-over ГГГГММ [--empty | --replace | --update]"),
            QStringLiteral("Создает отчетный период ГГГГММ с остатками прошлого месяца (--empty: с пустой таблицей) "
                           "и делает его текущим; --replace заменяет уже созданную декларацию этого периода; "
                           "--update обновляет в ней остатки на начало месяца, сохраняя все записи"),
            [](const Options &options, const QStringList &args) {
                QString period;
                bool transfer = true;
                bool replace = false;
                bool update = false;
                for (const QString &arg : args) {
                    if (arg == u"--empty")
                        transfer = false;
                    else if (arg == u"--replace")
                        replace = true;
                    else if (arg == u"--update")
                        update = true;
                    else if (period.isEmpty())
                        period = arg;
                    else
                        return usage();
                }
                const bool digits = std::all_of(period.cbegin(), period.cend(), [](QChar c) { return c.isDigit(); });
                if (period.size() != 6 || !digits || !period.startsWith(QStringLiteral("20")))
                    return usage();
                const int year = period.mid(2, 2).toInt();
                const int month = period.mid(4, 2).toInt();

                if (update && (replace || !transfer))
                    return usage();

                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                if (update)
                    return updateNextMonth(settings, year, month);
                const period::CarryOverPlan plan = period::planCarryOver(settings, year, month, transfer);
                if (plan.targetExists && !replace)
                    throw KalvorError(QStringLiteral("Декларация за период %1 уже есть: %2 (--replace заменит ее)")
                                          .arg(plan.periodString, QDir::toNativeSeparators(plan.declarationFileName)));
                if (!plan.notice.isEmpty())
                    printLine(plan.notice);
                period::CarryOverSummary summary;
                if (!plan.previousTable.isEmpty())
                    summary = period::carryOverRemains(plan, versionText());
                period::installPeriod(settings, plan);
                printLine(QStringLiteral("Создана декларация за %1: %2; перенесено строк: %3 из %4")
                          .arg(plan.periodString, QDir::toNativeSeparators(plan.declarationFileName))
                          .arg(summary.rowsKept)
                          .arg(summary.rowsRead));
                return 0;
            }};
}

} // namespace kalvor::cli
