// Data packet bytes from outside: any KalvorError is a fine answer, a crash is not. What loads must
// also survive the engine's own round trip unchanged, in both forms, and the same bytes arriving in
// small pieces (so that every piece boundary falls somewhere else) must give the same answer.
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"
#include "support/TrickleDevice.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

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

// The packet read in pieces as XML text, or nothing when it was refused.
std::optional<QByteArray> readInPieces(QByteArrayView bytes)
{
    kalvor::test::TrickleDevice device(bytes, 16 + static_cast<qint64>(bytes.size() % 211));
    kalvor::TableData table;
    try {
        kalvor::readDataPacket(device, kName, table);
    } catch (const kalvor::KalvorError &) {
        return std::nullopt;
    }
    return kalvor::serializeDataPacket(table, kalvor::PacketForm::Xml);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kalvor;
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    TableData table;
    try {
        readDataPacketBytes(bytes, kName, table);
    } catch (const KalvorError &) {
        if (table.recordCount() != 0 || table.fieldCount() != 0)
            fail("a rejected packet left a half-filled table");
        if (readInPieces(bytes))
            fail("a packet refused whole was read in pieces");
        return 0;
    }

    const QByteArray xml = serializeDataPacket(table, PacketForm::Xml);
    if (readInPieces(bytes) != xml)
        fail("a packet read in pieces differs from the one read whole");
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
