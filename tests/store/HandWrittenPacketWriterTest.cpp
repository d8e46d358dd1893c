#include "store/DataPacketReader.h"
#include "store/HandWrittenPacketWriter.h"
#include "store/KalvorError.h"
#include "support/PacketText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

QList<FieldDef> columns()
{
    FieldDef key{QStringLiteral("dkey"), "string", FieldKind::String, "FixedChar", 32, 0, {}};
    FieldDef name{QStringLiteral("producer_name"), "string", FieldKind::String, {}, 50, 0, {}};
    FieldDef date{QStringLiteral("ttn_date"), "dateTime", FieldKind::DateTime, {}, 0, 0, {}};
    FieldDef volume{QStringLiteral("volume"), "fixed", FieldKind::Fixed, {}, 19, 3, {}};
    return {key, name, date, volume};
}

} // namespace

TEST(HandWrittenPacket, WritesTheHeadEveryAttributeAndReadsBack)
{
    TempDir dir;
    HandWrittenPacketWriter writer(dir.file(QStringLiteral("out(1).xml")), columns());
    writer.writeRow({{QStringLiteral("dkey"), QStringLiteral("12345678900012030000000100000000")},
                     {QStringLiteral("producer_name"), QStringLiteral("ЗАО \"Кристалл\" & <Ко>, Москва")},
                     {QStringLiteral("ttn_date"), shortDateToPacketDate(QStringLiteral("05.03.2012"))},
                     {QStringLiteral("volume"), decimalCommaToPoint(QStringLiteral("12,500"))}});
    writer.writeRow({{QStringLiteral("dkey"), QStringLiteral("12345678900012030000000100000100")},
                     {QStringLiteral("producer_name"), QString()},
                     {QStringLiteral("ttn_date"), shortDateToPacketDate(QString())},
                     {QStringLiteral("volume"), QString()}});
    EXPECT_FALSE(QFile::exists(writer.fileName())); // nothing until commit
    writer.commit();

    const QByteArray bytes = readAll(writer.fileName());
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n"));
    EXPECT_TRUE(bytes.contains("<FIELD attrname=\"dkey\" fieldtype=\"string\" SUBTYPE=\"FixedChar\" WIDTH=\"32\" />\r\n"));
    EXPECT_TRUE(bytes.contains("<FIELD attrname=\"volume\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\" />\r\n"));
    EXPECT_TRUE(bytes.contains(ansi("producer_name=\"ЗАО &quot;Кристалл&quot; &amp; &lt;Ко&gt;, Москва\"")));
    EXPECT_TRUE(bytes.contains("producer_name=\"\" ttn_date=\"\" volume=\"\"/>\r\n")); // empty, not left out
    EXPECT_TRUE(bytes.endsWith("</ROWDATA>\r\n</DATAPACKET>\r\n"));
    EXPECT_EQ(dumpOfFile(writer.fileName()),
              "dkey\tproducer_name\tttn_date\tvolume\n"
              "12345678900012030000000100000000\tЗАО \"Кристалл\" & <Ко>, Москва\t20120305\t12.500\n"
              "12345678900012030000000100000100\t\t\t\n");
}

TEST(HandWrittenPacket, BadDatesAndUnwritableFoldersAreRefused)
{
    EXPECT_THROW(shortDateToPacketDate(QStringLiteral("31.02.2012")), KalvorError);
    EXPECT_THROW(shortDateToPacketDate(QStringLiteral("завтра")), KalvorError);
    EXPECT_EQ(shortDateToPacketDate(QStringLiteral("1.2.2012")), QStringLiteral("20120201"));
    TempDir dir;
    HandWrittenPacketWriter writer(dir.file(QStringLiteral("no/such/folder/out.xml")), columns());
    writer.writeRow({{QStringLiteral("dkey"), QStringLiteral("1")}});
    EXPECT_THROW(writer.commit(), KalvorError);
}

TEST(HandWrittenPacket, TextOutsideTheCodePageMakesAUtf8File)
{
    TempDir dir;
    HandWrittenPacketWriter writer(dir.file(QStringLiteral("w.xml")), columns());
    writer.writeRow({{QStringLiteral("dkey"), QStringLiteral("1")}, {QStringLiteral("producer_name"), QStringLiteral("Ο Ζεύς")}});
    writer.commit();
    EXPECT_TRUE(readAll(writer.fileName()).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\""));
    EXPECT_EQ(dumpOfFile(writer.fileName()), "dkey\tproducer_name\tttn_date\tvolume\n1\tΟ Ζεύς\t\t\n");
}
