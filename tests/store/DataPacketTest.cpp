#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "store/TableDump.h"
#include "support/PacketText.h"
#include "support/TempDir.h"
#include "support/TrickleDevice.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QByteArray kFields = QByteArrayLiteral(
    "<FIELD attrname=\"dkey\" fieldtype=\"string\" SUBTYPE=\"FixedChar\" WIDTH=\"32\" />\r\n"
    "<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"70\" />\r\n"
    "<FIELD attrname=\"code\" fieldtype=\"i2\" />\r\n"
    "<FIELD attrname=\"volume\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\" />\r\n"
    "<FIELD attrname=\"day\" fieldtype=\"dateTime\" />\r\n");

TableData read(const QByteArray &bytes)
{
    TableData data;
    readDataPacketBytes(bytes, QStringLiteral("test.xml"), data);
    return data;
}

std::string errorOf(const QByteArray &bytes)
{
    try {
        read(bytes);
    } catch (const KalvorError &e) {
        return e.message().toStdString();
    }
    return "no error";
}

} // namespace

TEST(DataPacketRead, FilesInEveryFormTheProgramMeets)
{
    EXPECT_EQ(dumpOfFile(dataFile(QStringLiteral("packets/hand-written.xml"))),
              "dkey\tproduction_name\tproduction_code\tvolume\tttn_date\n"
              "12345678900012030000000100000000\tВодка \"Столичная\"\t200\t10.500\t20120201\n"
              "12345678900012030000000100000100\t\t\t\t\n");
    // One line, change log, rows 1/2/32 hidden, a modified version shown where its original stood.
    EXPECT_EQ(dumpOfFile(dataFile(QStringLiteral("packets/engine-one-line.xml"))),
              "code\tname\tprice\n1\tновое \"1\"\t2.00\n2\tВодка\t\n5\tafter\\r\\nline\t\n8\tdetail\t\n");
    EXPECT_EQ(dumpOfFile(dataFile(QStringLiteral("packets/utf8-bom.xml"))),
              "name\td\tok\nЁлка ☺ \\\\ tab\\tend\t20120229T13:45:10500\tTRUE\n");
}

TEST(DataPacketRead, EncodingComesFromThePrologOrTheByteOrderMark)
{
    const QByteArray cyrillicUtf8 = QStringLiteral("Водка").toUtf8();
    const QByteArray row = "<ROW name=\"" + cyrillicUtf8 + "\" />\r\n";
    QByteArray declared = handWrittenPacket(kFields, row);
    declared.replace("standalone", "encoding=\"UTF-8\" standalone");
    EXPECT_EQ(read(declared).text(read(declared).recordCells(0)[1]), "Водка");

    QByteArray win = handWrittenPacket(kFields, "<ROW name=\"\xc2\xee\xe4\xea\xe0\" />\r\n");
    EXPECT_EQ(read(win).text(read(win).recordCells(0)[1]), "Водка");
    win.replace("standalone", "encoding=\"windows-1251\" standalone");
    EXPECT_EQ(read(win).text(read(win).recordCells(0)[1]), "Водка");

    // In the 8-bit form a character reference below 256 names a byte of the code page.
    const TableData refs = read(handWrittenPacket(kFields, "<ROW name=\"&#194;&#1042;&#x41;&unknown; &\" />\r\n"));
    EXPECT_EQ(refs.text(refs.recordCells(0)[1]), "ВВA&unknown; &");

    QByteArray badUtf8 = handWrittenPacket(kFields, "<ROW name=\"\xc2\xee\" />\r\n");
    badUtf8.replace("standalone", "encoding=\"UTF-8\" standalone");
    EXPECT_NE(errorOf(badUtf8).find("UTF-8"), std::string::npos);
    QByteArray koi = handWrittenPacket(kFields, "");
    koi.replace("standalone", "encoding=\"KOI8-R\" standalone");
    EXPECT_NE(errorOf(koi).find("KOI8-R"), std::string::npos);
}

TEST(DataPacketRead, DamagedFilesAreRefusedWithTheFileName)
{
    const QByteArray good = handWrittenPacket(kFields, "<ROW RowState=\"4\" dkey=\"1\" code=\"5\" />\r\n");
    ASSERT_EQ(read(good).recordCount(), 1u);

    const std::vector<std::pair<QByteArray, std::string>> cases = {
        {QByteArray(), "пуст"},
        {QByteArrayLiteral("hello"), "не файл пакета данных"},
        {QByteArrayLiteral("<html><body/></html>"), "не файл пакета данных"},
        {good.left(good.size() - 20), "обрывается"},
        {good.left(good.indexOf("<ROW ") + 12), "обрывается"},
        {handWrittenPacket(kFields, "<ROW dkey=\"1\" colour=\"red\" />\r\n"), "colour"},
        {handWrittenPacket(kFields, "<ROW code=\"12x\" />\r\n"), "code"},
        {handWrittenPacket(kFields, "<ROW code=\"40000\" />\r\n"), "code"},
        {handWrittenPacket(kFields, "<ROW volume=\"1,5\" />\r\n"), "volume"},
        {handWrittenPacket(kFields, "<ROW day=\"20121301\" />\r\n"), "day"},
        {handWrittenPacket(kFields, "<ROW dkey=\"1\" dkey=\"2\" />\r\n"), "дважды"},
        {handWrittenPacket(kFields, "<ROW RowState=\"x\" />\r\n"), "RowState"},
        {handWrittenPacket(kFields, "<COLUMN />\r\n"), "COLUMN"},
        {handWrittenPacket(kFields, "<ROW dkey=\"1 />\r\n"), "XML"},
        {handWrittenPacket("", ""), "нет полей"},
        {handWrittenPacket(kFields, "<ROW code=\"+-5\" />\r\n"), "code"},
        {handWrittenPacket(kFields, "<ROW volume=\"+-5\" />\r\n"), "volume"},
        {handWrittenPacket(kFields, "<ROW code=\"\" code=\"5\" />\r\n"), "дважды"},
        {handWrittenPacket(kFields, "<ROW dkey=\"1\"><ROW dkey=\"2\"/></ROW>\r\n"), "вложенные"},
        {handWrittenPacket(kFields, QByteArray("<ROW dkey=\"1\0\" />\r\n", 18)), "нулевой"},
        {handWrittenPacket(kFields, QByteArray("<ROW dkey=\"1\" />\0<ROW dkey=\"2\" />\r\n", 33)), "нулевой"},
        {handWrittenPacket(kFields, "<ROW dkey=\"1\"code=\"2\" />\r\n"), "XML"},
        {handWrittenPacket(kFields, "<!DOCTYPE x>\r\n"), "XML"},
        {handWrittenPacket(kFields, "</ROW>\r\n"), "XML"},
    };
    for (const auto &[bytes, expected] : cases) {
        const std::string message = errorOf(bytes);
        EXPECT_NE(message.find("test.xml"), std::string::npos) << message;
        EXPECT_NE(message.find(expected), std::string::npos) << "expected '" << expected << "' in: " << message;
    }
}

TEST(DataPacketRead, LimitsRefuseCraftedFilesAtOnce)
{
    QByteArray manyFields;
    for (int i = 0; i <= 4096; ++i)
        manyFields += "<FIELD attrname=\"f" + QByteArray::number(i) + "\" fieldtype=\"string\" WIDTH=\"9\" />";
    EXPECT_NE(errorOf(handWrittenPacket(manyFields, "")).find("больше 4096 полей"), std::string::npos);
    EXPECT_NE(errorOf(handWrittenPacket(QByteArray(20000, '<'), "")).find("больше 4096 полей"), std::string::npos);

    // A binary packet is judged by its size header before anything is inflated: 2 KB claiming 1 GB.
    const QByteArray binary = serializeDataPacket(read(handWrittenPacket(kFields, "<ROW dkey=\"1\" />\r\n")), PacketForm::Binary);
    QByteArray claim = binary.left(20) + QByteArray("\x40\x00\x00\x00", 4) + binary.mid(24) + QByteArray(2000, 'x');
    const std::string message = errorOf(claim);
    EXPECT_NE(message.find("test.xml"), std::string::npos) << message;
    EXPECT_NE(message.find("больше чем в 16 раз"), std::string::npos) << message;
    for (const qsizetype cut : {qsizetype(22), binary.size() - 6}) // the size header or the stream cut short
        EXPECT_NE(errorOf(binary.left(cut)).find("поврежден"), std::string::npos);
}

// A table of 1000 columns whose rows hold a cell or two: kept by the cells present, read and changed like any other.
TEST(DataPacketRead, WideTablesCostTheirCellsNotRowsTimesColumns)
{
    QByteArray fields;
    for (int i = 0; i < 1000; ++i)
        fields += "<FIELD attrname=\"f" + QByteArray::number(i) + "\" fieldtype=\"string\" WIDTH=\"9\" />";
    QByteArray full = "<ROW";
    for (int i = 0; i < 1000; ++i)
        full += " f" + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    QByteArray rows = full + "/>";
    for (int i = 0; i < 20000; ++i)
        rows += i % 1000 == 1 ? QByteArray("<ROW f999=\"z\" f5=\"a\"/>") : QByteArray("<ROW/>");
    TempDir dir;
    const QString path = dir.write(QStringLiteral("wide.xml"), handWrittenPacket(fields, rows));

    TableData data;
    readDataPacketFile(path, data);
    ASSERT_EQ(data.recordCount(), 20001u);
    EXPECT_LT(data.storedBytes(), 1u << 20); // one cell per column and row would be 160 MB
    const RowView sparse(&data, data.recordCells(2));
    EXPECT_EQ(sparse.utf8(999), "z");
    EXPECT_EQ(sparse.utf8(5), "a");
    EXPECT_TRUE(sparse.isNull(6));
    EXPECT_EQ(RowView(&data, data.recordCells(0)).utf8(998), "998");

    Table table(path);
    table.open();
    table.setRecNo(3);
    table.edit();
    table.setString(QStringLiteral("f6"), QStringLiteral("new"));
    table.setNull(999);
    table.post();
    table.saveToFile();
    table.close();
    table.open();
    EXPECT_EQ(table.recordCount(), 20001);
    table.setRecNo(3);
    EXPECT_EQ(table.asString(QStringLiteral("f5")), QStringLiteral("a"));
    EXPECT_EQ(table.asString(QStringLiteral("f6")), QStringLiteral("new"));
    EXPECT_TRUE(table.isNull(QStringLiteral("f999")));
    EXPECT_LT(table.data().storedBytes(), 1u << 20);
}

TEST(DataPacketRead, EmptyAttributesOfHandWrittenFilesAreNullForNumbersAndDates)
{
    const TableData data = read(handWrittenPacket(kFields, "<ROW dkey=\"\" name=\"\" code=\"\" volume=\"\" day=\"\" />\r\n"));
    const CellRow cells = data.recordCells(0);
    EXPECT_FALSE(cells[0].isNull());
    EXPECT_FALSE(cells[1].isNull());
    EXPECT_TRUE(cells[2].isNull());
    EXPECT_TRUE(cells[3].isNull());
    EXPECT_TRUE(cells[4].isNull());
    EXPECT_EQ(read(handWrittenPacket(kFields, "")).recordCount(), 0u);
    QByteArray selfClosing = handWrittenPacket(kFields, "");
    selfClosing.replace("<ROWDATA>\r\n</ROWDATA>", "<ROWDATA/>");
    EXPECT_EQ(read(selfClosing).fieldCount(), 5);
}

TEST(DataPacketWrite, AnsiFormWhenTextFitsTheCodePageElseUtf8)
{
    TableData data = read(handWrittenPacket(kFields, "<ROW dkey=\"1\" name=\"\xc2\xee\xe4\xea\xe0 \xb9 5\" code=\"-3\" />\r\n"));
    const QByteArray ansi = serializeDataPacket(data, PacketForm::Xml);
    EXPECT_TRUE(ansi.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"));
    EXPECT_TRUE(ansi.contains("name=\"\xc2\xee\xe4\xea\xe0 \xb9 5\""));
    EXPECT_EQ(dumpOf(read(ansi)), dumpOf(data));

    TableData wide = read(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\"><METADATA>"
                                         "<FIELDS><FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"9\"/></FIELDS>"
                                         "</METADATA><ROWDATA><ROW name=\"Водка ☺\"/></ROWDATA></DATAPACKET>")
                              .toUtf8());
    const QByteArray utf8 = serializeDataPacket(wide, PacketForm::Xml);
    EXPECT_TRUE(utf8.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
    EXPECT_EQ(dumpOf(read(utf8)), "name\nВодка ☺\n");
}

TEST(DataPacketWrite, SpecialCharactersRoundTripAsEntities)
{
    TableData data = read(handWrittenPacket(kFields, "<ROW name=\"a&quot;b&amp;c&lt;d&gt;e&apos;f&#13;&#10;g&#9;h&#1;\" />\r\n"));
    const QByteArray bytes = serializeDataPacket(data, PacketForm::Xml);
    EXPECT_TRUE(bytes.contains("name=\"a&quot;b&amp;c&lt;d&gt;e&apos;f&#13;&#10;g&#9;h&#1;\"")) << bytes.constData();
    EXPECT_EQ(read(bytes).text(read(bytes).recordCells(0)[1]), "a\"b&c<d>e'f\r\ng\th\x01");
}

TEST(DataPacketWrite, ChangeLogAndOtherParametersSurviveARewrite)
{
    TableData data;
    readDataPacketFile(dataFile(QStringLiteral("packets/engine-one-line.xml")), data);
    const QByteArray bytes = serializeDataPacket(data, PacketForm::Xml);
    EXPECT_TRUE(bytes.contains("DEFAULT_ORDER=\"1\" PRIMARY_KEY=\"1\" LCID=\"1049\""));
    // Records are written in file order: the new version of row 1 right after its original.
    EXPECT_TRUE(bytes.contains("CHANGE_LOG=\"1 0 4 3 0 4 4 0 4 2 1 8 5 0 4 6 5 8 7 0 4 7 0 2\"")) << bytes.constData();
    const TableData again = read(bytes);
    EXPECT_EQ(dumpOf(again), dumpOf(data));
    EXPECT_EQ(again.recordCount(), data.recordCount());
    EXPECT_EQ(serializeDataPacket(again, PacketForm::Xml), bytes);
}

TEST(DataPacketWrite, FormFollowsTheNameAndBothFormsReadBack)
{
    EXPECT_EQ(packetFormForName(QStringLiteral("/a/b.XML")), PacketForm::Xml);
    EXPECT_EQ(packetFormForName(QStringLiteral("/a/b.xml")), PacketForm::Xml);
    EXPECT_EQ(packetFormForName(QStringLiteral("/a/b.dat")), PacketForm::Binary);
    EXPECT_EQ(packetFormForName(QStringLiteral("/a/xml")), PacketForm::Binary);

    TempDir dir;
    TableData data;
    readDataPacketFile(dataFile(QStringLiteral("packets/engine-one-line.xml")), data);
    saveDataPacketFile(data, dir.file(QStringLiteral("t.dat")));
    saveDataPacketFile(data, dir.file(QStringLiteral("t.XML")));
    EXPECT_FALSE(readAll(dir.file(QStringLiteral("t.dat"))).startsWith("<?xml"));
    EXPECT_TRUE(readAll(dir.file(QStringLiteral("t.XML"))).startsWith("<?xml"));
    EXPECT_EQ(dumpOfFile(dir.file(QStringLiteral("t.dat"))), dumpOf(data));
    EXPECT_EQ(dumpOfFile(dir.file(QStringLiteral("t.XML"))), dumpOf(data));

    QByteArray damaged = readAll(dir.file(QStringLiteral("t.dat")));
    damaged.chop(10);
    EXPECT_NE(errorOf(damaged).find("поврежден"), std::string::npos);
}

TEST(DataPacketWrite, AFailedSaveLeavesTheOldFile)
{
    TempDir dir;
    const QString path = dir.write(QStringLiteral("d.xml"), handWrittenPacket(kFields, "<ROW dkey=\"old\" />\r\n"));
    TableData data;
    readDataPacketFile(path, data);
    EXPECT_THROW(saveDataPacketFile(data, dir.file(QStringLiteral("missing/d.xml"))), KalvorError);
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("missing/d.xml"))));
    QFile(dir.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFile(dir.file(QStringLiteral("probe"))).open(QIODevice::WriteOnly)) { // root writes anyway
        EXPECT_THROW(saveDataPacketFile(TableData(), path), KalvorError);
        EXPECT_EQ(dumpOfFile(path), "dkey\tname\tcode\tvolume\tday\nold\t\t\t\t\n");
    }
    QFile(dir.path()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(DataPacketRead, LargeTablesAreReadAcrossBlockBoundaries)
{
    // Rows long enough that blocks split them, with a "<ROW" inside a value to mislead the splitter.
    QByteArray rows;
    const QByteArray longName(3000, 'x');
    for (int i = 0; i < 2000; ++i)
        rows += "<ROW dkey=\"" + QByteArray::number(i) + "\" name=\"" + longName + (i % 97 == 0 ? "<ROW" : "") + "\" code=\""
                + QByteArray::number(i % 300) + "\" />\r\n";
    const TableData data = read(handWrittenPacket(kFields, rows));
    ASSERT_EQ(data.recordCount(), 2000u);
    EXPECT_EQ(data.text(data.recordCells(1999)[0]), "1999");
    EXPECT_EQ(data.text(data.recordCells(97)[1]).substr(3000), "<ROW");
}

// Whatever the reader has in hand when a piece of the file ends (a comment or a value holding "<ROW",
// CDATA, an entity, a Cyrillic letter, a row with content), the table comes out the same.
TEST(DataPacketRead, PiecesOfAnySizeGiveTheSameTable)
{
    const QByteArray rows = ansi(
        "<!-- <ROW dkey=\"comment\"/> --><![CDATA[ <ROW dkey=\"cdata\"/> </ROWDATA> ]]>\r\n"
        "<ROW RowState=\"4\" dkey=\"a&lt;ROW\" name=\"x <ROW </ROWDATA> y\"/>\r\n"
        "<?note <ROW?> text between rows\r\n"
        "<ROW dkey='b' name=\"Водка &quot;1&quot;\" code=\"-5\"></ROW>\r\n"
        "<ROW\tdkey = \"c\" volume=\"1.500\"><!-- <ROW --> text </ROW >\r\n");
    const QByteArray packet = handWrittenPacket(kFields, rows);
    const std::string expected = "dkey\tname\tcode\tvolume\tday\n"
                                 "a<ROW\tx <ROW </ROWDATA> y\t\t\t\n"
                                 "b\tВодка \"1\"\t-5\t\t\n"
                                 "c\t\t\t1.500\t\n";
    ASSERT_EQ(dumpOf(read(packet)), expected);
    const QByteArray binary = serializeDataPacket(read(packet), PacketForm::Binary);
    for (qint64 step = 1; step <= 48; ++step) {
        for (const QByteArray *bytes : {&packet, &binary}) {
            TrickleDevice device(*bytes, step);
            TableData data;
            readDataPacket(device, QStringLiteral("pipe"), data);
            EXPECT_EQ(dumpOf(data), expected) << "pieces of " << step;
        }
    }
}

// Large files were once parsed in runs cut at the last "<ROW" read so far: one inside a comment at the
// end of the first run (2 MiB) made a well-formed file fail. Comments, CDATA and values holding "<ROW"
// sit there now, and after every row.
TEST(DataPacketRead, CommentsAndValuesHoldingRowAcrossLargeFiles)
{
    const qsizetype head = handWrittenPacket(kFields, "").indexOf("</ROWDATA>");
    const QByteArray trap = "<!-- <ROW dkey=\"no\"/> --><![CDATA[<ROW]]>\r\n";
    QByteArray rows;
    int count = 0;
    const auto addRow = [&](qsizetype nameLength) {
        rows += "<ROW dkey=\"" + QByteArray::number(count++) + "\" name=\"" + QByteArray(nameLength, 'n') + "<ROW\"/>" + trap;
    };
    constexpr qsizetype kBoundary = 2 << 20;
    while (head + rows.size() < kBoundary - 600)
        addRow(200);
    // This row ends where the "<ROW" of its comment falls just before the boundary.
    const qsizetype plain = QByteArray("<ROW dkey=\"" + QByteArray::number(count) + "\" name=\"<ROW\"/><!-- ").size();
    addRow(kBoundary - 3 - head - rows.size() - plain);
    ASSERT_EQ(handWrittenPacket(kFields, rows).mid(kBoundary - 3, 14), "<ROW dkey=\"no\"");
    while (rows.size() < (3 << 20))
        addRow(100 + count % 97);
    TempDir dir;
    TableData data;
    readDataPacketFile(dir.write(QStringLiteral("big.xml"), handWrittenPacket(kFields, rows)), data);
    ASSERT_EQ(data.recordCount(), static_cast<std::size_t>(count));
    EXPECT_EQ(data.text(data.recordCells(static_cast<std::uint32_t>(count - 1))[0]), std::to_string(count - 1));
}
