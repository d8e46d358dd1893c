#include "cli/CommandTable.h"

namespace kalvor::cli {

const std::vector<Command> &commands()
{
    static const std::vector<Command> all = {
        dumpCommand(),          copyCommand(),           demoCommand(),
        compactCommand(),       clearUnlinkedCommand(),  repairKeysCommand(),
        convertKindsCommand(),  recomputePurchasesCommand(), fillRegionsCommand(),
        clearTransfersCommand(), replaceWaybillsCommand(), splitCommand(),
        carryOverCommand(),     verifyCommand(),         mergeCommand(),
        exportFilesCommand(),   reconcileCommand(),      exportTextCommand(),
        exportXlsxCommand(),    errorReportCommand(),    exportPdfCommand(),
        exportCalcCommand(),
        dbCommand(),
    };
    return all;
}

QStringList synopsis()
{
    return {QStringLiteral("kalvor-cli [--home ПАПКА] КОМАНДА [ПАРАМЕТРЫ]"), QStringLiteral("kalvor-cli --help | --version")};
}

} // namespace kalvor::cli
