#include "cli/WorkspacePeriod.h"

#include "app/Version.h"
#include "period/CarryOver.h"
#include "store/KalvorError.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace kalvor::cli {

namespace {

void print(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
}

int usage()
{
    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] carry-over ГГГГММ [--empty] [--replace]"));
    return 2;
}

} // namespace

Command carryOverCommand()
{
    return {QStringLiteral("carry-over"), QStringLiteral("carry-over ГГГГММ [--empty] [--replace]"),
            QStringLiteral("Создает отчетный период ГГГГММ с остатками прошлого месяца (--empty: с пустой таблицей) "
                           "и делает его текущим; --replace заменяет уже созданную декларацию этого периода"),
            [](const Options &options, const QStringList &args) {
                QString period;
                bool transfer = true;
                bool replace = false;
                for (const QString &arg : args) {
                    if (arg == u"--empty")
                        transfer = false;
                    else if (arg == u"--replace")
                        replace = true;
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

                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                const period::CarryOverPlan plan = period::planCarryOver(settings, year, month, transfer);
                if (plan.targetExists && !replace)
                    throw KalvorError(QStringLiteral("Декларация за период %1 уже есть: %2 (--replace заменит ее)")
                                          .arg(plan.periodString, QDir::toNativeSeparators(plan.declarationFileName)));
                if (!plan.notice.isEmpty())
                    print(plan.notice);
                period::CarryOverSummary summary;
                if (!plan.previousTable.isEmpty())
                    summary = period::carryOverRemains(plan, versionText());
                period::installPeriod(settings, plan);
                print(QStringLiteral("Создана декларация за %1: %2; перенесено строк: %3 из %4")
                          .arg(plan.periodString, QDir::toNativeSeparators(plan.declarationFileName))
                          .arg(summary.rowsKept)
                          .arg(summary.rowsRead));
                return 0;
            }};
}

} // namespace kalvor::cli
