// Feeds arbitrary bytes to the reader of the database connection file (db.udl): it must never crash,
// any refusal names the file, and an accepted SQLite file is an absolute path.
#include "dbupload/ConnectionFile.h"
#include "store/KalvorError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kalvor::dbupload;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("/ws/db.udl");
    try {
        const ConnectionSettings settings = parseConnectionFile(bytes, name, QStringLiteral("/ws/"));
        (void)settings.description();
        if (settings.provider == Provider::SQLite && !settings.sqliteFile.startsWith(u'/'))
            std::abort();
    } catch (const kalvor::KalvorError &e) {
        if (!e.message().contains(name))
            std::abort();
    }
    return 0;
}
