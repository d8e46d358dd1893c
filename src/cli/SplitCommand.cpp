#include "cli/WorkspacePeriod.h"

#include "maintenance/ReportSplit.h"

#include <cstdio>

namespace kalvor::cli {

Command splitCommand()
{
    return {QStringLiteral("split"), QStringLiteral("split"),
            QStringLiteral("Делит декларацию текущего периода по накладным на две части: divide/ИННГГММ00(1).xml и (2).xml"),
            [](const Options &options, const QStringList &args) {
                if (!args.isEmpty()) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] split"));
                    return 2;
                }
                PeriodWorkspace workspace(options, Access::Write);
                TAppSettings &settings = workspace.settings;
                maintenance::TextGrid source = maintenance::declarationAsText(settings.FDeclarationFileName);
                maintenance::SplitResult halves = maintenance::splitByInvoices(source);
                const QString first = maintenance::splitResultFile(settings.FcurDir, settings.FINNYYMMCC, 1);
                maintenance::writeSplitHalf(first, halves.firstHalf, halves.firstRows);
                printLine(QStringLiteral("1 Выгружено"));
                const QString second = maintenance::splitResultFile(settings.FcurDir, settings.FINNYYMMCC, 2);
                maintenance::writeSplitHalf(second, halves.secondHalf, halves.secondRows);
                printLine(QStringLiteral("2 Выгружено"));
                return 0;
            }};
}

} // namespace kalvor::cli
