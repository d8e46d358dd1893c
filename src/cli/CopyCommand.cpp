#include "cli/CommandTable.h"

#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"

namespace kalvor::cli {

Command copyCommand()
{
    return {QStringLiteral("copy"), QStringLiteral("copy ВХОД ВЫХОД"),
            QStringLiteral("Читает таблицу и сохраняет ее в новый файл (вид файла по его расширению)"),
            [](const Options &, const QStringList &args) {
                if (args.size() != 2) {
                    printError(QStringLiteral("использование: kalvor-cli copy ВХОД ВЫХОД"));
                    return 2;
                }
                TableData data;
                readDataPacketFile(args.at(0), data);
                saveDataPacketFile(data, args.at(1));
                return 0;
            }};
}

} // namespace kalvor::cli
