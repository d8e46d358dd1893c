#include "ReportFiles.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/Procedures.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DatabaseWorkspace.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;
using namespace kalvor::test;

namespace {

// A report keyed for February lying in the period folder of March 2012, which is open.
const QString kStem = QStringLiteral("710701234500120200");

class Upload : public ::testing::TestWithParam<TestProvider> {
protected:
    Upload() : ws(GetParam()) {}

    DeclarationUploadPlan plan() const
    {
        const QString folder = ws.dir.file(QStringLiteral("reports/201203"));
        return {ws.curDir(), DatabaseWorkspace::shareDir(), QDir(folder).filePath(kStem + QStringLiteral(".xml")),
                QDir(folder).filePath(kStem + QStringLiteral("d.xml")), {12, 3}};
    }
    void write(const QList<QByteArray> &rows) const { writeReport(ws.dir.file(QStringLiteral("reports/201203")), kStem, rows); }
    QStringList declaration() const
    {
        return ws.rows(QStringLiteral("SELECT dkey, supply_name, production_name FROM declaration ORDER BY dkey, supply_name"));
    }

    DatabaseWorkspace ws;
};

QString march(int invoice, int position = 0, int transfer = 0)
{
    return QString::fromLatin1(keyOf(QStringLiteral("710701234500120300"), invoice, position, transfer));
}

} // namespace

// Keys take the open period (characters 13-16 only); positions and transfers take the name of the first
// invoice row sharing their first 25 key characters, others keep their own; the requisites' INN key
// becomes INN + "00" + YYMM. Uploading the report again replaces its rows instead of doubling them.
TEST_P(Upload, RewritesKeysAndNamesAndReplacesTheEarlierUpload)
{
    write({rowOf(kStem, 1, 0, 0, "supply_name=\"Первый\""), rowOf(kStem, 1, 0, 0, "supply_name=\"Второй\""),
           rowOf(kStem, 1, 1, 0, "supply_name=\"свой\" production_name=\"Водка\""),
           rowOf(kStem, 1, 1, 1, "production_name=\"Водка\""),
           rowOf(kStem, 1, 100000, 0, "supply_name=\"сотый\""), rowOf(kStem, 7, 1, 0, "supply_name=\"сирота\"")});
    const UploadSummary summary = uploadDeclaration(plan());
    EXPECT_EQ(summary.declarationRows, 6);
    EXPECT_EQ(summary.keys, QStringList{QStringLiteral("7107012345001203")});
    EXPECT_EQ(declaration(), (QStringList{march(1) + QStringLiteral("|Второй|~"), march(1) + QStringLiteral("|Первый|~"),
                                          march(1, 1) + QStringLiteral("|Первый|Водка"),
                                          march(1, 1, 1) + QStringLiteral("|Первый|Водка"),
                                          march(1, 100000) + QStringLiteral("|сотый|~"),
                                          march(7, 1) + QStringLiteral("|сирота|~")}));
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT dkey, organization_name FROM kalvor")),
              QStringList{QStringLiteral("7107012345001203|ООО Ромашка")});
    // The period's own files are only read.
    Table file(plan().declarationFileName);
    file.open();
    file.first();
    EXPECT_EQ(file.asString(u"dkey"), QString::fromLatin1(keyOf(kStem, 1)));

    write({rowOf(kStem, 1, 0, 0, "supply_name=\"Новый\""), rowOf(kStem, 1, 1, 0, "production_name=\"Коньяк\"")});
    uploadDeclaration(plan());
    EXPECT_EQ(declaration(), (QStringList{march(1) + QStringLiteral("|Новый|~"), march(1, 1) + QStringLiteral("|Новый|Коньяк")}));
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT count(*) FROM kalvor")), QStringList{QStringLiteral("1")});
}

// A failure in the middle (here the requisites table is gone after the declaration's rows went in)
// leaves the database as it was: the upload is all or nothing.
TEST_P(Upload, AFailureInTheMiddleLeavesTheEarlierRows)
{
    write({rowOf(kStem, 1, 0, 0, "supply_name=\"Первый\""), rowOf(kStem, 1, 1, 0)});
    uploadDeclaration(plan());
    const QStringList before = declaration();

    write({rowOf(kStem, 2, 0, 0, "supply_name=\"Другой\"")});
    const std::unique_ptr<Database> db = ws.open();
    db->query(QStringLiteral("ALTER TABLE kalvor RENAME TO kalvor_away"));
    EXPECT_THROW(uploadDeclaration(plan()), KalvorError);
    db->query(QStringLiteral("ALTER TABLE kalvor_away RENAME TO kalvor"));
    EXPECT_EQ(declaration(), before);

    // A value the database could not take is refused before anything is sent, naming the file and key.
    write({rowOf(kStem, 1, 0, 0, "supply_name=\"Первый\" ttn_date=\"20120230\"")});
    try {
        uploadDeclaration(plan());
        ADD_FAILURE() << "an impossible date went through";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(plan().declarationFileName)) << e.message().toStdString();
    }
    EXPECT_EQ(declaration(), before);
}

// "Добавить log": the requisites file gains one row with the last row's data and the open period's
// key, and the database holds exactly the file's rows; twice gives two added rows, not doubled ones.
TEST_P(Upload, RequisitesLogAddsOneRowPerRun)
{
    write({rowOf(kStem, 1, 0, 0)});
    uploadKalvorLog(plan());
    const UploadSummary second = uploadKalvorLog(plan());
    EXPECT_EQ(second.kalvorRows, 3);

    Table file(plan().kalvorFileName);
    file.open();
    ASSERT_EQ(file.recordCount(), 3);
    for (file.first(); !file.eof(); file.next()) {
        EXPECT_EQ(file.asString(u"dkey"), QStringLiteral("7107012345001203"));
        EXPECT_EQ(file.asString(u"name_counter"), QStringLiteral("Петрова А. С."));
        EXPECT_EQ(file.asDate(u"license_deadline"), QDate(2012, 12, 31));
    }
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT dkey, department_count, license_date FROM kalvor ORDER BY row_id")),
              QStringList(3, QStringLiteral("7107012345001203|1|2010-01-01 00:00:00")));
    EXPECT_EQ(ws.open()->call(procedures::REP_GET_KALVOR_INFO, {QStringLiteral("7107012345")}).rowCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Both, Upload, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return providerName(info.param); });
