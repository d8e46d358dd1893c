// Data packet bytes from outside: any KalvorError is a fine answer, a crash is not. What loads must
// also survive the engine's own round trip unchanged, in both forms.
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kName = QStringLiteral("fuzz.xml");

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_datapacket: %s %s\n", what, detail.toLocal8Bit().constData());
    std::abort();
}

std::size_t visibleCount(const kalvor::TableData &data)
{
    std::size_t visible = 0;
    for (std::uint32_t r = 0; r < data.recordCount(); ++r)
        visible += kalvor::RowState::isVisible(data.rowState(r)) ? 1 : 0;
    return visible;
}

// Reading back what the engine wrote itself must never fail.
void readOwn(const QByteArray &bytes, kalvor::TableData &out, const char *form)
{
    try {
        kalvor::readDataPacketBytes(bytes, kName, out);
    } catch (const kalvor::KalvorError &error) {
        std::fprintf(stderr, "fuzz_datapacket: own %s output rejected:\n%.*s\n", form,
                     static_cast<int>(std::min<qsizetype>(bytes.size(), 4096)), bytes.constData());
        fail("error:", error.message());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kalvor;
    TableData table;
    try {
        readDataPacketBytes(QByteArrayView(data, static_cast<qsizetype>(size)), kName, table);
    } catch (const KalvorError &) {
        if (table.recordCount() != 0 || table.fieldCount() != 0)
            fail("a rejected packet left a half-filled table");
        return 0;
    }

    const QByteArray xml = serializeDataPacket(table, PacketForm::Xml);
    TableData again;
    readOwn(xml, again, "XML");
    if (again.fieldCount() != table.fieldCount() || visibleCount(again) != visibleCount(table))
        fail("XML round trip changed the columns or the visible rows");
    if (serializeDataPacket(again, PacketForm::Xml) != xml)
        fail("XML round trip is not stable");

    const QByteArray binary = serializeDataPacket(table, PacketForm::Binary);
    TableData fromBinary;
    readOwn(binary, fromBinary, "binary");
    if (serializeDataPacket(fromBinary, PacketForm::Xml) != xml)
        fail("binary round trip differs from the XML one");
    return 0;
}
