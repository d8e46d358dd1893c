#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/PacketText.h"
#include "support/TempDir.h"

#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QByteArray kFields = QByteArrayLiteral(
    "<FIELD attrname=\"dkey\" fieldtype=\"string\" SUBTYPE=\"FixedChar\" WIDTH=\"32\" />\r\n"
    "<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"20\" />\r\n"
    "<FIELD attrname=\"code\" fieldtype=\"i2\" />\r\n"
    "<FIELD attrname=\"volume\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\" />\r\n"
    "<FIELD attrname=\"day\" fieldtype=\"dateTime\" />\r\n");

class TableTest : public ::testing::Test {
protected:
    QString writeRows(const QByteArray &rows)
    {
        return m_dir.write(QStringLiteral("t.xml"), handWrittenPacket(kFields, rows));
    }
    QString threeRows()
    {
        return writeRows(ansi("<ROW RowState=\"4\" dkey=\"c\" name=\"Третья\" code=\"3\" />\r\n"
                         "<ROW RowState=\"4\" dkey=\"a\" name=\"Первая\" code=\"1\" volume=\"1.500\" day=\"20120201\" />\r\n"
                         "<ROW RowState=\"4\" dkey=\"b\" name=\"вторая\" code=\"2\" />\r\n"));
    }
    static std::vector<std::string> keys(Table &t)
    {
        std::vector<std::string> result;
        for (t.first(); !t.eof(); t.next())
            result.push_back(t.asString(u"dkey").toStdString());
        return result;
    }
    TempDir m_dir;
};

} // namespace

TEST_F(TableTest, OpenFailsOnAMissingFileAndStaysClosed)
{
    Table t(m_dir.file(QStringLiteral("none.xml")));
    try {
        t.open();
        FAIL();
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("none.xml")));
    }
    EXPECT_FALSE(t.isActive());
}

TEST_F(TableTest, CloseWritesOnlyWhatChangedOrVanished)
{
    const QString path = threeRows();
    const QByteArray original = readAll(path);
    const std::string originalDump = dumpOfFile(path);

    Table t(path);
    t.open();
    t.close();
    EXPECT_EQ(readAll(path), original); // unchanged: untouched

    t.open();
    QFile::remove(path);
    t.close();
    ASSERT_TRUE(QFile::exists(path)); // written again
    EXPECT_EQ(dumpOfFile(path), originalDump);
    t.open();
    EXPECT_EQ(t.recordCount(), 3);

    t.edit();
    t.setString(u"name", QStringLiteral("Изменена"));
    t.post();
    t.edit();
    t.setString(u"name", QStringLiteral("не сохранится"));
    t.close(); // the posted change is written, the pending one dropped
    t.open();
    EXPECT_EQ(t.asString(u"name"), QStringLiteral("Изменена"));
    EXPECT_TRUE(readAll(path).contains("CHANGE_LOG"));
}

TEST_F(TableTest, SavePostsThePendingEditAndKeepsTheName)
{
    const QString path = threeRows();
    Table t(path);
    t.open();
    t.append();
    t.setString(u"dkey", QStringLiteral("d"));
    t.setString(u"VOLUME", QStringLiteral("2,5"));
    t.saveToFile(m_dir.file(QStringLiteral("copy.xml")));
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_TRUE(t.isModified()); // saved elsewhere: its own file still lacks the row
    t.saveToFile();
    EXPECT_FALSE(t.isModified());
    EXPECT_EQ(t.fileName(), path);
    Table copy(m_dir.file(QStringLiteral("copy.xml")));
    copy.open();
    copy.last();
    EXPECT_EQ(copy.asString(u"volume"), QStringLiteral("2.500"));
    EXPECT_DOUBLE_EQ(copy.asFloat(u"volume"), 2.5);
}

TEST_F(TableTest, EditsFollowTheChangeLogModel)
{
    const QString path = threeRows();
    Table t(path);
    t.open();
    t.setRecNo(2);
    t.edit();
    t.setInteger(u"code", 11);
    t.post();
    EXPECT_EQ(t.recNo(), 2); // the new version stands where the old one stood
    EXPECT_EQ(t.asInteger(u"code"), 11);
    t.first();
    t.remove();
    EXPECT_EQ(t.asString(u"dkey"), QStringLiteral("a")); // moved to the next row
    EXPECT_EQ(t.recordCount(), 2);
    t.close();

    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.contains("<ROW RowState=\"5\" dkey=\"a\"")); // the old insert, now an original
    EXPECT_TRUE(bytes.contains("<ROW RowState=\"12\" dkey=\"a\"")); // its new version
    EXPECT_TRUE(bytes.contains("<ROW RowState=\"6\" dkey=\"c\"")); // the deleted insert
    EXPECT_TRUE(bytes.contains("CHANGE_LOG=\"3 2 8 1 0 2\"")) << bytes.constData();
    EXPECT_EQ(dumpOfFile(path), "dkey\tname\tcode\tvolume\tday\na\tПервая\t11\t1.500\t20120201\nb\tвторая\t2\t\t\n");
}

TEST_F(TableTest, UnchangedPostAddsNothingToTheLog)
{
    const QString path = threeRows();
    Table t(path);
    t.open();
    t.edit();
    t.setString(u"name", QStringLiteral("Третья"));
    t.post();
    EXPECT_FALSE(t.isModified());
}

TEST_F(TableTest, NavigationAndRecordNumbers)
{
    Table t(threeRows());
    t.open();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recNo(), 1);
    t.prior();
    EXPECT_TRUE(t.bof());
    t.last();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 3);
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recNo(), 3);
    t.setRecNo(2);
    EXPECT_EQ(t.asString(u"dkey"), QStringLiteral("a"));
    EXPECT_FALSE(t.eof());
    EXPECT_EQ(keys(t), (std::vector<std::string>{"c", "a", "b"}));

    Table empty(writeRows(""));
    empty.open();
    EXPECT_TRUE(empty.eof() && empty.bof());
    EXPECT_EQ(empty.recNo(), 0);
    EXPECT_TRUE(empty.isNull(u"dkey")); // no row: fields read as NULL
    EXPECT_THROW(empty.edit(), KalvorError);
    EXPECT_THROW(empty.remove(), KalvorError);
}

TEST_F(TableTest, OrderingByAFieldAndBackToFileOrder)
{
    Table t(threeRows());
    t.open();
    t.setIndexFieldNames(QStringLiteral("DKEY"));
    EXPECT_EQ(keys(t), (std::vector<std::string>{"a", "b", "c"}));
    t.append();
    t.setString(u"dkey", QStringLiteral("bb"));
    t.post();
    EXPECT_EQ(t.recNo(), 3); // took its place by value
    t.first();
    t.insert();
    t.setString(u"dkey", QStringLiteral("0"));
    t.post();
    EXPECT_EQ(keys(t), (std::vector<std::string>{"0", "a", "b", "bb", "c"}));
    t.setIndexFieldNames(QStringLiteral("name")); // Cyrillic, without regard to case
    std::vector<std::string> names;
    for (t.first(); !t.eof(); t.next())
        names.push_back(t.asString(u"name").toStdString());
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "вторая", "Первая", "Третья"}));
    t.setIndexFieldNames(QString());
    EXPECT_EQ(keys(t), (std::vector<std::string>{"c", "a", "b", "bb", "0"}));
    t.setIndexFieldNames(QStringLiteral("code"));
    t.first();
    EXPECT_TRUE(t.isNull(u"code"));
    EXPECT_THROW(t.setIndexFieldNames(QStringLiteral("nothing")), KalvorError);
}

TEST_F(TableTest, InsertAtTheCursorKeepsItsPlaceAfterReload)
{
    const QString path = threeRows();
    Table t(path);
    t.open();
    t.setRecNo(2);
    t.insert();
    t.setString(u"dkey", QStringLiteral("x"));
    t.post();
    t.insert();
    t.setString(u"dkey", QStringLiteral("y"));
    t.post();
    EXPECT_EQ(keys(t), (std::vector<std::string>{"c", "y", "x", "a", "b"}));
    t.close();
    t.open();
    EXPECT_EQ(keys(t), (std::vector<std::string>{"c", "y", "x", "a", "b"}));
}

TEST_F(TableTest, FilterDecidesWhatIsPresented)
{
    Table t(threeRows());
    t.open();
    int wanted = 2;
    t.setFilter([&wanted](const RowView &row) { return row.asInteger(u"code") >= wanted; });
    t.setFiltered(true);
    EXPECT_EQ(keys(t), (std::vector<std::string>{"c", "b"}));
    wanted = 3;
    t.refresh();
    EXPECT_EQ(t.recordCount(), 1);
    t.first();
    t.edit();
    t.setInteger(u"code", 1); // leaves the filter
    t.post();
    EXPECT_EQ(t.recordCount(), 0);
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 3);
}

TEST_F(TableTest, TypedAccessChecksValuesAndReadOnlyFields)
{
    Table t(threeRows());
    t.open();
    t.setRecNo(2);
    EXPECT_EQ(t.asDate(u"day"), QDate(2012, 2, 1));
    EXPECT_EQ(t.asVariant(u"code").toLongLong(), 1);
    EXPECT_FALSE(t.asVariant(u"volume").isNull());
    EXPECT_TRUE(t.isNull(u"Volume") == false);
    EXPECT_EQ(t.fieldIndex(u"NaMe"), 1);
    EXPECT_EQ(t.fieldIndex(u"absent"), -1);

    EXPECT_THROW(t.setString(u"name", QStringLiteral("x")), KalvorError); // not editing
    t.edit();
    EXPECT_THROW(t.setString(u"code", QStringLiteral("12a")), KalvorError);
    EXPECT_THROW(t.setString(u"code", QStringLiteral("40000")), KalvorError);
    EXPECT_THROW(t.setString(u"day", QStringLiteral("31.02.2012")), KalvorError);
    EXPECT_THROW(t.setString(u"name", QString(21, u'x')), KalvorError);
    EXPECT_EQ(t.asInteger(u"code"), 1); // a refused value changes nothing
    t.setString(u"day", QStringLiteral("29.02.2012"));
    t.setString(u"volume", QStringLiteral("1,0005"));
    t.setString(u"code", QString());
    EXPECT_EQ(t.asString(u"day"), QStringLiteral("20120229"));
    EXPECT_EQ(t.asString(u"volume"), QStringLiteral("1.001"));
    EXPECT_TRUE(t.isNull(u"code"));
    t.setFloat(t.fieldIndex(u"volume"), -0.0004);
    EXPECT_EQ(t.asString(u"volume"), QStringLiteral("0.000"));
    t.setVariant(u"day", QVariant());
    EXPECT_TRUE(t.isNull(u"day"));
    t.setReadOnly(0, true);
    EXPECT_THROW(t.setString(u"dkey", QStringLiteral("z")), KalvorError);
    t.cancel();
    EXPECT_EQ(t.asString(u"volume"), QStringLiteral("1.500"));
}

TEST_F(TableTest, ListenersHearChangesUnlessControlsAreDisabled)
{
    Table t(threeRows());
    int changes = 0;
    const int id = t.addListener([&changes](Table::Notification what) {
        if (what == Table::Notification::DataChanged)
            ++changes;
    });
    t.open();
    EXPECT_EQ(changes, 1);
    t.disableControls();
    t.edit();
    t.setInteger(u"code", 9);
    t.post();
    EXPECT_EQ(changes, 1);
    t.enableControls();
    EXPECT_EQ(changes, 2);
    t.removeListener(id);
    t.remove();
    EXPECT_EQ(changes, 2);
}

TEST_F(TableTest, CopyFileReplacing)
{
    const QString source = m_dir.write(QStringLiteral("s.xml"), "new");
    const QString destination = m_dir.write(QStringLiteral("d.xml"), "old contents");
    EXPECT_TRUE(CopyFileReplacing(source, destination));
    EXPECT_EQ(readAll(destination), "new");
    EXPECT_FALSE(CopyFileReplacing(m_dir.file(QStringLiteral("missing.xml")), destination));
    EXPECT_EQ(readAll(destination), "new");
    EXPECT_FALSE(CopyFileReplacing(source, m_dir.file(QStringLiteral("no/such/dir.xml"))));
}

TEST_F(TableTest, TablesOpenedOnOneParseChangeIndependently)
{
    Table source(threeRows());
    source.open();
    source.setIndexFieldNames(QStringLiteral("dkey"));
    Table copy(source.fileName());
    copy.openCopyOf(source);
    Table other(source.fileName());
    other.openCopyOf(source);
    EXPECT_EQ(&copy.data(), &source.data()); // one parse, one set of rows

    // Editing the copy leaves the source and the other copy as they were read.
    copy.first();
    copy.edit();
    copy.setString(u"name", QStringLiteral("Изменена"));
    copy.post();
    EXPECT_NE(&copy.data(), &source.data());
    EXPECT_EQ(copy.asString(u"name"), QStringLiteral("Изменена"));
    source.first();
    EXPECT_EQ(source.asString(u"name"), QStringLiteral("Первая"));
    other.first();
    EXPECT_EQ(other.asString(u"name"), QStringLiteral("Третья"));

    // And the other way round: deleting in the source is not seen by the other copy.
    source.remove();
    EXPECT_EQ(source.recordCount(), 2);
    EXPECT_EQ(other.recordCount(), 3);
    EXPECT_EQ(keys(other), (std::vector<std::string>{"c", "a", "b"}));
}
