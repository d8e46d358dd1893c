// Feeds arbitrary bytes to the configuration file reader: it must never crash, and what it writes
// back must read back to the same sections, keys and values.
#include "app/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kalvor::IniFile;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    IniFile ini = IniFile::fromBytes(bytes);

    const IniFile again = IniFile::fromBytes(ini.toBytes());
    if (again.sections() != ini.sections())
        std::abort();
    for (const QString &section : ini.sections()) {
        const QStringList keys = ini.keys(section);
        if (again.keys(section) != keys)
            std::abort();
        for (const QString &key : keys)
            if (again.readString(section, key) != ini.readString(section, key))
                std::abort();
        (void)ini.readInteger(section, keys.value(0));
    }

    // Writes land where reads find them, whatever the file looked like.
    const QStringList sections = ini.sections();
    const QString section = sections.isEmpty() ? QStringLiteral("last_period") : sections.constFirst();
    ini.writeString(section, QStringLiteral("period"), QStringLiteral("201203"));
    if (IniFile::fromBytes(ini.toBytes()).readString(section, QStringLiteral("PERIOD")) != u"201203")
        std::abort();
    ini.deleteKey(section, QStringLiteral("period"));
    ini.eraseSection(section);
    return 0;
}
