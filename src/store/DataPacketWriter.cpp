#include "store/DataPacketWriter.h"

#include "store/BinaryPacket.h"
#include "store/Cp1251.h"
#include "store/FileAccess.h"
#include "store/PacketText.h"

#include <QFileInfo>

#include <charconv>
#include <functional>
#include <string>

namespace kalvor {
namespace {

// Receives the text in blocks, so that a large table is never held twice in memory.
using Sink = std::function<void(std::string_view)>;
constexpr std::size_t kFlushSize = 1u << 20;

void serialize(const TableData &data, bool ansi, const Sink &sink)
{
    const std::vector<std::uint32_t> order = data.fileOrder();
    std::vector<std::uint32_t> position(order.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        position[order[i]] = i;

    std::vector<std::string> attrPrefix; // ' name="' for each column, encoded once
    for (const FieldDef &f : data.fields) {
        PacketText name(ansi);
        name.raw(" ");
        name.value(f.name);
        name.raw("=\"");
        attrPrefix.push_back(std::move(name.out));
    }

    PacketText t(ansi);
    t.out.reserve(kFlushSize + (64u << 10));
    writePacketHeader(t, data, ansi, position);
    t.raw("<ROWDATA>");
    t.raw(kPacketEol);
    const auto fieldCount = static_cast<std::size_t>(data.fieldCount());
    char number[16];
    for (const std::uint32_t record : order) {
        t.raw("<ROW RowState=\"");
        const auto [end, ec] = std::to_chars(number, number + sizeof number, data.rowState(record));
        t.raw(std::string_view(number, static_cast<std::size_t>(end - number)));
        t.raw("\"");
        data.recordCells(record).forEachPresent(fieldCount, [&](std::size_t f, Cell cell) {
            t.raw(attrPrefix[f]);
            t.value(data.text(cell));
            t.raw("\"");
        });
        t.raw(" />");
        t.raw(kPacketEol);
        if (t.out.size() >= kFlushSize) {
            sink(t.out);
            t.out.clear();
        }
    }
    t.raw("</ROWDATA>");
    t.raw(kPacketEol);
    t.raw("</DATAPACKET>");
    t.raw(kPacketEol);
    sink(t.out);
}

} // namespace

PacketForm packetFormForName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(u"xml", Qt::CaseInsensitive) == 0 ? PacketForm::Xml : PacketForm::Binary;
}

QByteArray serializeDataPacket(const TableData &data, PacketForm form)
{
    QByteArray out;
    const Sink append = [&out](std::string_view block) { out.append(block.data(), static_cast<qsizetype>(block.size())); };
    if (form == PacketForm::Xml) {
        try {
            serialize(data, true, append);
        } catch (const NotAnsi &) {
            out.clear();
            serialize(data, false, append);
        }
        return out;
    }
    serialize(data, false, append);
    return encodeBinaryPacket(out);
}

void saveDataPacketFile(const TableData &data, const QString &fileName)
{
    if (packetFormForName(fileName) == PacketForm::Binary) {
        saveFileAtomically(fileName, serializeDataPacket(data, PacketForm::Binary));
        return;
    }
    // The 8-bit form is tried first; text that does not fit it starts the file again in UTF-8.
    for (const bool ansi : {true, false}) {
        AtomicFile file(fileName);
        try {
            serialize(data, ansi, [&file](std::string_view block) { file.write(block); });
        } catch (const NotAnsi &) {
            file.cancel();
            continue;
        }
        file.commit();
        return;
    }
}

} // namespace kalvor
