#include "cli/WorkspacePeriod.h"

#include "period/TextExport.h"

namespace kalvor::cli {

Command exportTextCommand()
{
    return periodMessageCommand(
        QStringLiteral("export-text"),
        QStringLiteral("Выгружает строки продукции и внутренних перемещений текущего периода с данными их "
                       "накладных в data.txt; строки без накладной перечисляет в error.log"),
        [](TAppSettings &settings) { return period::exportText(settings).message; });
}

} // namespace kalvor::cli
