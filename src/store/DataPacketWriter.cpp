#include "store/DataPacketWriter.h"

#include "store/BinaryPacket.h"
#include "store/Cp1251.h"
#include "store/KalvorError.h"
#include "store/PacketText.h"

#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <string>

namespace kalvor {
namespace {

std::string serialize(const TableData &data, bool ansi)
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
    t.out.reserve(data.textBytes() + order.size() * (24 + 16 * static_cast<std::size_t>(data.fieldCount())) + 4096);
    writePacketHeader(t, data, ansi, position);
    t.raw("<ROWDATA>");
    t.raw(kPacketEol);
    const int fieldCount = data.fieldCount();
    for (const std::uint32_t record : order) {
        t.raw("<ROW RowState=\"");
        t.raw(std::to_string(data.rowState(record)));
        t.raw("\"");
        const Cell *cells = data.recordCells(record);
        for (int f = 0; f < fieldCount; ++f) {
            if (cells[f].isNull())
                continue;
            t.raw(attrPrefix[static_cast<std::size_t>(f)]);
            t.value(data.text(cells[f]));
            t.raw("\"");
        }
        t.raw(" />");
        t.raw(kPacketEol);
    }
    t.raw("</ROWDATA>");
    t.raw(kPacketEol);
    t.raw("</DATAPACKET>");
    t.raw(kPacketEol);
    return std::move(t.out);
}

} // namespace

PacketForm packetFormForName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(u"xml", Qt::CaseInsensitive) == 0 ? PacketForm::Xml : PacketForm::Binary;
}

namespace {

std::string serializeForm(const TableData &data, PacketForm form)
{
    if (form == PacketForm::Xml) {
        try {
            return serialize(data, true);
        } catch (const NotAnsi &) {
            return serialize(data, false);
        }
    }
    const std::string text = serialize(data, false);
    const QByteArray packed = encodeBinaryPacket(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    return std::string(packed.constData(), static_cast<std::size_t>(packed.size()));
}

} // namespace

QByteArray serializeDataPacket(const TableData &data, PacketForm form)
{
    const std::string text = serializeForm(data, form);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void saveDataPacketFile(const TableData &data, const QString &fileName)
{
    const std::string bytes = serializeForm(data, packetFormForName(fileName));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString()));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !file.commit())
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString()));
}

} // namespace kalvor
