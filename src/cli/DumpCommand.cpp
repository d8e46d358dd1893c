#include "cli/CommandTable.h"

#include "store/DataPacketReader.h"
#include "store/KalvorError.h"
#include "store/TableDump.h"

#include <cstdio>

namespace kalvor::cli {

Command dumpCommand()
{
    return {QStringLiteral("dump"), QStringLiteral("dump [--count] ФАЙЛ"),
            QStringLiteral("Выводит таблицу: имена полей, затем видимые строки, значения через TAB"),
            [](const Options &, const QStringList &args) {
                bool countOnly = false;
                QStringList files;
                for (const QString &arg : args) {
                    if (arg == u"--count")
                        countOnly = true;
                    else
                        files.append(arg);
                }
                if (files.size() != 1) {
                    printError(QStringLiteral("использование: kalvor-cli dump [--count] ФАЙЛ"));
                    return 2;
                }
                TableData data;
                readDataPacketFile(files.first(), data);
                if (countOnly) {
                    printLine(QString::number(visibleRecordCount(data)));
                    return 0;
                }
                if (!writeDump(data, stdout))
                    throw KalvorError(QStringLiteral("ошибка записи в стандартный вывод"));
                return 0;
            }};
}

} // namespace kalvor::cli
