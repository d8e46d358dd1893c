#include "support/PacketText.h"

#include "store/Cp1251.h"
#include "store/DataPacketReader.h"
#include "store/TableDump.h"

namespace kalvor::test {

std::string dumpOf(const TableData &data)
{
    std::string out;
    appendDumpHeader(out, data);
    for (const std::uint32_t record : visibleRecordsInFileOrder(data))
        appendDumpLine(out, data, record);
    return out;
}

std::string dumpOfFile(const QString &fileName)
{
    TableData data;
    readDataPacketFile(fileName, data);
    return dumpOf(data);
}

QByteArray ansi(const QByteArray &utf8)
{
    std::string out;
    cp1251::appendFromUtf8(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

QByteArray handWrittenPacket(const QByteArray &fieldLines, const QByteArray &rowLines)
{
    return QByteArrayLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n"
                             "<METADATA>\r\n<FIELDS>\r\n")
           + fieldLines + QByteArrayLiteral("</FIELDS>\r\n</METADATA>\r\n<ROWDATA>\r\n") + rowLines
           + QByteArrayLiteral("</ROWDATA>\r\n</DATAPACKET>\r\n");
}

} // namespace kalvor::test
