#include "dbupload/ObjectsImport.h"
#include "dbupload/Procedures.h"
#include "store/KalvorError.h"
#include "support/DatabaseWorkspace.h"
#include "support/PacketText.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;
using namespace kalvor::test;

namespace {

QStringList rowsOf(const DbRowBuffer &rows)
{
    QStringList out;
    for (std::size_t r = 0; r < rows.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows.columnCount(); ++c)
            cells.append(QString::fromStdString(std::string(rows.value(r, c).value_or("~"))));
        out.append(cells.join(u'|'));
    }
    return out;
}

QString refusal(const QByteArray &bytes)
{
    try {
        parseObjectsCsv(bytes, QStringLiteral("objects.csv"));
    } catch (const KalvorError &e) {
        return e.message();
    }
    return {};
}

class ObjectsImport : public ::testing::TestWithParam<TestProvider> {};

} // namespace

// The columns by their names in any order and case; ";" or "," between fields, quotes around a field
// with the separator; Windows-1251 as well as UTF-8; dates in both forms, an empty status is 0.
TEST(ObjectsCsv, ReadsWhatSpreadsheetsWrite)
{
    const QByteArray semicolons = "\xEF\xBB\xBFinn;KOD_OBJECT;Kod_raion;Status;Date_object;Date_priost;Date_save\r\n"
                                  "7107012345;1;Тула;0;01.02.2010;;\r\n"
                                  "\r\n"
                                  "771234567890; \"2; \"\"Южный\"\"\" ;Новомосковск;;2012-03-15;;31.12.2012\r\n";
    const QStringList expected{QStringLiteral("7107012345|1|2010-02-01|Тула|0|~|~"),
                               QStringLiteral("771234567890|2; \"Южный\"|2012-03-15|Новомосковск|0|~|2012-12-31")};
    EXPECT_EQ(rowsOf(parseObjectsCsv(semicolons, {})), expected);
    QByteArray commas = semicolons;
    commas.replace(';', ',').replace("\"2, \"", "\"2; \"");
    EXPECT_EQ(rowsOf(parseObjectsCsv(ansi(commas.mid(3)), {})), expected);
}

// A bad line refuses the whole file, telling its number.
TEST(ObjectsCsv, ABadLineRefusesTheFileWithItsNumber)
{
    const QByteArray head = "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n";
    const QByteArray good = "7107012345;1;;;0;;\n";
    const struct {
        QByteArray bytes;
        const char *says;
    } cases[] = {
        {head + good + "710701234;1;;;0;;\n", "строка 3: INN «710701234»"},
        {head + good + "7107012345;;;;0;;\n", "строка 3: Kod_object «»: код объекта не указан"},
        {head + good + "7107012345;1;31.02.2012;;0;;\n", "строка 3: Date_object «31.02.2012»"},
        {head + good + "7107012345;1;;;активен;;\n", "строка 3: Status «активен»: нужно целое число"},
        {head + good + "7107012345;1;;;0;\n", "строка 3: полей 6, а в заголовке 7"},
        {head + "7107012345;\"1;;;0;;\n", "строка 2: не закрыта кавычка"},
        {"INN;Kod_object;Date_object;Kod_raion;Status;Date_priost\n", "строка 1: нет столбца Date_save"},
        {"INN;Kod;Date_object;Kod_raion;Status;Date_priost;Date_save\n", "строка 1: неизвестный столбец «Kod»"},
        {"", "нет строки заголовка"},
    };
    for (const auto &c : cases) {
        const QString message = refusal(c.bytes);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Файл objects.csv"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << message.toStdString();
    }
}

// An import replaces the whole list in one transaction; a refused file leaves the old list.
TEST_P(ObjectsImport, ReplacesTheListOrLeavesIt)
{
    DatabaseWorkspace ws(GetParam());
    const QByteArray head = "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n";
    EXPECT_EQ(importObjects(ws.curDir(), {}, ws.dir.write(QStringLiteral("a.csv"), head + "7107012345;1;;;0;;\n7107012345;2;;;0;;\n")), 2);
    EXPECT_EQ(importObjects(ws.curDir(), {}, ws.dir.write(QStringLiteral("b.csv"), head + "771234567890;1;;;0;;\n")), 1);
    EXPECT_THROW(importObjects(ws.curDir(), {}, ws.dir.write(QStringLiteral("c.csv"), head + "123;1;;;0;;\n")), KalvorError);
    EXPECT_THROW(importObjects(ws.curDir(), {}, ws.dir.file(QStringLiteral("missing.csv"))), KalvorError);
    const DbRows listed = ws.open()->call(procedures::REP_INN);
    ASSERT_EQ(listed.rowCount(), 1);
    EXPECT_EQ(listed.first().text(u"inn"), QStringLiteral("771234567890"));
}

INSTANTIATE_TEST_SUITE_P(Both, ObjectsImport, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return providerName(info.param); });
