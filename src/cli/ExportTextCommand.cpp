#include "cli/WorkspacePeriod.h"

#include "period/TextExport.h"

#include <cstdio>

namespace kalvor::cli {

Command exportTextCommand()
{
    return {QStringLiteral("export-text"), QStringLiteral("export-text"),
            QStringLiteral("Выгружает строки продукции и внутренних перемещений текущего периода с данными их "
                           "накладных в data.txt; строки без накладной перечисляет в error.log"),
            [](const Options &options, const QStringList &args) {
                if (!args.isEmpty()) {
                    printError(QStringLiteral("использование: kalvor-cli [--home ПАПКА] export-text"));
                    return 2;
                }
                TAppSettings settings;
                openConfiguredPeriod(options, settings);
                const period::TextExportResult result = period::exportText(settings);
                std::printf("%s\n", result.message.toUtf8().constData());
                return 0;
            }};
}

} // namespace kalvor::cli
