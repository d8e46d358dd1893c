#include "dbupload/Procedures.h"
#include "dbupload/Schema.h"
#include "dbupload/WorkspaceDatabase.h"
#include "store/KalvorError.h"
#include "support/DatabaseWorkspace.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;
using kalvor::test::DatabaseWorkspace;
using kalvor::test::TestProvider;

namespace {

class Schema : public ::testing::TestWithParam<TestProvider> {};

QString refusal(const DatabaseWorkspace &ws)
{
    try {
        ws.open();
    } catch (const KalvorError &e) {
        return e.message();
    }
    return {};
}

} // namespace

// `db init` makes the tables and every procedure the program calls; run again it keeps the data and
// makes the procedures anew. The program refuses a database without tables, an older one (until init
// upgrades it) and one made by a newer program, each telling the operator what to do.
TEST_P(Schema, InitIsSafeToRepeatAndTheProgramChecksTheVersion)
{
    DatabaseWorkspace ws(GetParam(), false);
    if (GetParam() == TestProvider::PostgreSQL) {
        EXPECT_TRUE(refusal(ws).contains(QStringLiteral("kalvor-cli db init")));
    }

    const std::unique_ptr<Database> db = connectDatabase(readConnectionFile(ws.curDir()), true);
    const SchemaInit first = initSchema(*db, DatabaseWorkspace::shareDir());
    EXPECT_EQ(first.fromVersion, 0);
    EXPECT_EQ(first.toVersion, kSchemaVersion);
    EXPECT_EQ(first.procedures, procedureCatalogue().size());
    for (const ProcedureInfo &info : procedureCatalogue())
        EXPECT_TRUE(db->hasProcedure(info.name)) << info.name.toStdString();

    db->query(QStringLiteral("INSERT INTO alcohol_objects (inn, kod_object) VALUES ('7107012345', '1')"));
    const SchemaInit again = initSchema(*db, DatabaseWorkspace::shareDir());
    EXPECT_EQ(again.fromVersion, kSchemaVersion);
    EXPECT_EQ(ws.open()->call(procedures::REP_INN).rowCount(), 1);

    db->query(QStringLiteral("UPDATE kalvor_schema SET version = %1").arg(kSchemaVersion + 1));
    EXPECT_TRUE(refusal(ws).contains(QStringLiteral("более новой версией программы")));
    EXPECT_THROW(initSchema(*db, DatabaseWorkspace::shareDir()), KalvorError);
    db->query(QStringLiteral("UPDATE kalvor_schema SET version = 0"));
    EXPECT_TRUE(refusal(ws).contains(QStringLiteral("kalvor-cli db init")));
}

// Calls bind their parameters: a text that would break a statement spliced into SQL is only a value.
// A name that is no identifier never reaches the database.
TEST_P(Schema, ParametersAreBoundAndNamesChecked)
{
    DatabaseWorkspace ws(GetParam());
    const std::unique_ptr<Database> db = ws.open();
    db->execute(procedures::DELETE_OLD_KALVOR, {QStringLiteral("x'); DROP TABLE kalvor; --")});
    EXPECT_TRUE(db->call(procedures::REP_GET_KALVOR_INFO, {QStringLiteral("'; DELETE FROM kalvor; --")}).isEmpty());
    EXPECT_TRUE(db->hasTable(QStringLiteral("kalvor")));
    EXPECT_THROW(db->call(QStringLiteral("rep_inn(); DROP TABLE kalvor; --")), KalvorError);
    EXPECT_THROW(db->call(QStringLiteral("NO_SUCH_PROCEDURE")), KalvorError);
    EXPECT_THROW(db->call(procedures::REP_KALVOR, {QStringLiteral("1")}), KalvorError);
    EXPECT_TRUE(db->hasTable(QStringLiteral("kalvor")));
}

INSTANTIATE_TEST_SUITE_P(Both, Schema, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return kalvor::test::providerName(info.param); });
