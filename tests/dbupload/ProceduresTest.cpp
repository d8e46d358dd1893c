#include "ReportFiles.h"
#include "dbupload/Database.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/ObjectsImport.h"
#include "dbupload/Procedures.h"
#include "support/DatabaseWorkspace.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;
using namespace kalvor::test;
namespace p = kalvor::dbupload::procedures;

namespace {

QStringList call(Database &db, const QString &procedure, const DbParams &params)
{
    return lines(db.call(procedure, params));
}

class Procedures : public ::testing::TestWithParam<TestProvider> {};

} // namespace

// Every report procedure on one small known data set; both databases must give these very texts.
TEST_P(Procedures, AnswerTheKnownDataSetAlike)
{
    DatabaseWorkspace ws(GetParam());
    loadKnownData(ws);
    const std::unique_ptr<Database> db = ws.open();
    const DbParams span{qint64(1203), qint64(1204)};

    EXPECT_EQ(call(*db, p::REP_INN, {}), (QStringList{QStringLiteral("7107012345"), QStringLiteral("771234567890")}));
    // Coming: position rows of the span; names in byte order, the empty name last; cancelling volumes sum
    // to exactly 0.
    EXPECT_EQ(call(*db, p::REP_SUPPLIERS_BY_SUPPLIERS, span),
              (QStringList{QStringLiteral("Возвраты|0.000|0.000"), QStringLiteral("ЗАО Б|10.000|2.000"),
                           QStringLiteral("ИП Иванов|1.800|0.305"), QStringLiteral("ООО Поставщик|7.250|4.583")}));
    EXPECT_EQ(call(*db, p::REP_SUPPLIERS_BY_PRODUCTION_CODE, span),
              (QStringList{QStringLiteral("1|16.800|3.555"), QStringLiteral("3|2.250|3.333"), QStringLiteral("5|0.000|0.000")}));
    EXPECT_EQ(call(*db, p::REP_REGIONS_BY_REGIONS, span),
              (QStringList{QStringLiteral("50|10.000|2.000"), QStringLiteral("71|6.800|1.555"), QStringLiteral("~|2.250|3.333")}));
    EXPECT_EQ(call(*db, p::REP_REGIONS_BY_PRODUCTION_CODE, span),
              (QStringList{QStringLiteral("1|16.800|3.555"), QStringLiteral("5|0.000|0.000")}));
    EXPECT_EQ(call(*db, p::REP_IMPORT_PRODUCTION, span), (QStringList{QStringLiteral("3|2.250|3.333")}));
    EXPECT_EQ(call(*db, p::REP_REGIONS_BY_REGIONS_LITR, span),
              (QStringList{QStringLiteral("50|1.000|2.000"), QStringLiteral("71|0.680|1.555"), QStringLiteral("~|0.225|3.333")}));
    EXPECT_EQ(call(*db, p::REP_REGIONS_BY_PRODUCTION_LITR_CODE, span),
              (QStringList{QStringLiteral("1|1.680|3.555"), QStringLiteral("3|0.225|3.333"), QStringLiteral("5|0.000|0.000")}));
    // Sales: positions and transfers, by the district of the selling subdivision (unregistered last).
    EXPECT_EQ(call(*db, p::REP_PRODUCTIONS_BY_RAION, span),
              (QStringList{QStringLiteral("Алексин|0.500|0.060"), QStringLiteral("Новомосковск|10.000|1.000"),
                           QStringLiteral("Тула|4.750|1.300"), QStringLiteral("~|1.300|0.070")}));
    EXPECT_EQ(call(*db, p::REP_PRODUCTIONS_BY_PROIZV, span),
              (QStringList{QStringLiteral("Hennessy|0.750|0.900"), QStringLiteral("Завод А|5.800|0.530"),
                           QStringLiteral("Завод Б|10.000|1.000"), QStringLiteral("~|0.000|0.000")}));
    // 50 roubles per half litre is cheap, 52 (31.20 for 0.3 l) is not.
    EXPECT_EQ(call(*db, p::REP_VODKA52, span),
              (QStringList{QStringLiteral("Водка Б|10.000|1.000"), QStringLiteral("Водка Тест|4.000|0.400")}));
    // February alone: only the other month's rows.
    EXPECT_EQ(call(*db, p::REP_SUPPLIERS_BY_SUPPLIERS, {qint64(1202), qint64(1202)}),
              (QStringList{QStringLiteral("ООО Поставщик|100.000|10.000")}));

    // One filer: its rows of the span in key order, totals by kind; a 10-digit INN filled out with "00".
    for (const QString &inn : {QStringLiteral("7107012345"), QStringLiteral("710701234500")}) {
        const QStringList rows = call(*db, p::REP_KALVOR, {inn, qint64(1203), qint64(1203)});
        ASSERT_EQ(rows.size(), 8);
        EXPECT_EQ(rows[0], QStringLiteral("Т-1|05.03.2012|1|Водка Тест|Завод А|~|0.500|10|5.000|2.000|8|0.100|0.200|1.000|1.700"));
        EXPECT_EQ(rows[1], QStringLiteral("~|~|1|Водка Тест|Завод А|~|0.500|~|1.000|~|~|~|~|~|0.500"));
        EXPECT_EQ(call(*db, p::REP_KALVOR_SUM, {inn, qint64(1203), qint64(1203)}),
                  (QStringList{QStringLiteral("1|10|7.800|2.000|8|0.100|0.200|1.000|2.200"),
                               QStringLiteral("3|0|2.250|0.000|0|0.000|0.000|0.000|1.500"),
                               QStringLiteral("5|0|0.000|0.000|0|0.000|0.000|0.000|0.000")}));
        EXPECT_EQ(call(*db, p::REP_GET_KALVOR_INFO, {inn}), (QStringList{QStringLiteral("ООО Ромашка|г. Тула")}));
        // Registered by the span's end and not suspended before its start.
        EXPECT_EQ(call(*db, p::REP_OBJECTS_BY_PERIOD, {qint64(1203), qint64(1204), inn}),
                  (QStringList{QStringLiteral("7107012345|1|01.01.2010|Тула|0|~|~"),
                               QStringLiteral("7107012345|2|15.03.2012|Алексин|0|~|~"),
                               QStringLiteral("7107012345|6|~|Тула|1|10.04.2012|~")}));
    }
    EXPECT_TRUE(call(*db, p::REP_KALVOR, {QStringLiteral("7107012345"), qint64(1205), qint64(1212)}).isEmpty());
    EXPECT_TRUE(call(*db, p::REP_GET_KALVOR_INFO, {QStringLiteral("123456789012")}).isEmpty());

    // Callers read columns by name whatever the letter case, as the reports do.
    const DbRows objects = db->call(p::REP_OBJECTS_BY_PERIOD, {qint64(1203), qint64(1204), QStringLiteral("771234567890")});
    ASSERT_EQ(objects.rowCount(), 1);
    EXPECT_EQ(objects.first().text(u"Kod_raion"), QStringLiteral("Новомосковск"));
    EXPECT_EQ(objects.first().text(u"DATE_SAVE"), QStringLiteral("01.02.2012"));
    EXPECT_EQ(objects.first().integer(u"status"), 0);
}

INSTANTIATE_TEST_SUITE_P(Both, Procedures, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return providerName(info.param); });
