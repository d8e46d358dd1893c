// Feeds arbitrary bytes to the reader of the trading objects list (kalvor-cli db import-objects): it
// must never crash, a refusal names the file, and what it accepts has seven values per row with a
// 10- or 12-digit INN and ISO dates.
#include "dbupload/ObjectsImport.h"
#include "store/KalvorError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kalvor::dbupload;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("objects.csv");
    try {
        const DbRowBuffer rows = parseObjectsCsv(bytes, name);
        if (rows.columnCount() != 7)
            std::abort();
        for (std::size_t r = 0; r < rows.rowCount(); ++r) {
            const std::optional<std::string_view> inn = rows.value(r, 0);
            if (!inn || (inn->size() != 10 && inn->size() != 12))
                std::abort();
            for (const int dateColumn : {2, 5, 6}) {
                const std::optional<std::string_view> date = rows.value(r, dateColumn);
                if (date && (date->size() != 10 || (*date)[4] != '-'))
                    std::abort();
            }
        }
    } catch (const kalvor::KalvorError &e) {
        if (!e.message().contains(name))
            std::abort();
    }
    return 0;
}
