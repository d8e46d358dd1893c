#include "editing/Balance.h"
#include "editing/DeclarationViews.h"
#include "editing/PositionEditing.h"
#include "editing/TransferEditing.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

QByteArray row(const QByteArray &key, const QByteArray &more = {}) { return "dkey=\"" + key + "\" " + more; }

QString keyOf(int invoice, int position = 0, int transfer = 0)
{
    return QString::fromLatin1(declarationKey(invoice, position, transfer));
}

std::unique_ptr<Table> wholeTable(const QString &file)
{
    auto table = std::make_unique<Table>(file);
    table->setIndexFieldNames(QStringLiteral("dkey"));
    table->open();
    return table;
}

// The transfers of one position, as the transfer dialog and the transfer view select them.
std::unique_ptr<Table> transferTable(const QString &file, const QString &positionKey)
{
    auto table = std::make_unique<Table>(file);
    table->setIndexFieldNames(QStringLiteral("dkey"));
    table->setFilter([positionKey](const RowView &r) { return transfer::isTransferOf(r, positionKey); });
    table->setFiltered(true);
    table->open();
    return table;
}

// A table with one empty row in insert state, for the arithmetic.
std::unique_ptr<Table> newRow(const TempDir &dir)
{
    auto table = wholeTable(writeDeclaration(dir.path(), QStringLiteral("n.xml"), {}));
    table->append();
    return table;
}

const Table *findRow(const Table &table, const QString &key, int *index)
{
    for (int i = 0; i < table.recordCount(); ++i)
        if (table.row(i).asString(table.requireField(u"dkey")) == key) {
            *index = i;
            return &table;
        }
    return nullptr;
}

double valueIn(const QString &file, const QString &key, QStringView field)
{
    auto table = wholeTable(file);
    int index = -1;
    if (findRow(*table, key, &index) == nullptr)
        return -9999;
    return table->row(index).asFloat(table->requireField(field));
}

QString textIn(const QString &file, const QString &key, QStringView field)
{
    auto table = wholeTable(file);
    int index = -1;
    if (findRow(*table, key, &index) == nullptr)
        return QStringLiteral("<no row>");
    return table->row(index).asString(table->requireField(field));
}

} // namespace

// --- the balance rule ----------------------------------------------------------------------------

TEST(BalanceRule, AddsComingAndStartRemainsLessEveryCharge)
{
    BalanceTerms t;
    t.rest_volume = 5;
    t.volume = 10;
    t.return_volume = 1;
    t.other_coming = 2;
    t.volume_charges = 6;
    t.return_volume_charges = 1;
    t.writeoff_volume_charges = 0.5;
    t.other_charges = 3;
    EXPECT_DOUBLE_EQ(balanceRest(t), 7.5);

    // Read from a row: empty fields and columns count as 0.
    TempDir dir;
    auto table = newRow(dir);
    table->setString(u"volume", QStringLiteral("10"));
    table->setString(u"volume_charges", QStringLiteral("2,5"));
    EXPECT_DOUBLE_EQ(balanceRestOf(table->currentRow()), 7.5);
    storeBalanceRest(*table);
    EXPECT_EQ(table->asString(u"rest"), QStringLiteral("7.500"));
}

// --- position arithmetic -------------------------------------------------------------------------

TEST(PositionArithmetic, WorkedExampleOfVolumeSumAndRemains)
{
    TempDir dir;
    auto table = newRow(dir);
    table->setString(u"package_volume", QStringLiteral("0,5"));
    table->setString(u"package_count", QStringLiteral("20"));
    table->setString(u"purches_price", QStringLiteral("150"));
    table->setString(u"rest_volume", QStringLiteral("5"));
    table->setString(u"return_volume", QStringLiteral("1"));
    table->setString(u"other_coming", QStringLiteral("2"));
    table->setString(u"package_count_charges", QStringLiteral("12"));
    table->setString(u"markup", QStringLiteral("250"));
    table->setString(u"return_volume_charges", QStringLiteral("1"));
    table->setString(u"writeoff_volume_charges", QStringLiteral("0,5"));
    table->setString(u"other_charges", QStringLiteral("3"));
    position::calculateSomeFields(*table, position::RowKind::Position);
    EXPECT_EQ(table->asString(u"volume"), QStringLiteral("10.000"));
    EXPECT_EQ(table->asString(u"sum_coming"), QStringLiteral("3.000"));
    EXPECT_EQ(table->asString(u"volume_charges"), QStringLiteral("6.000"));
    EXPECT_EQ(table->asString(u"sum_charges"), QStringLiteral("3.000"));
    EXPECT_EQ(table->asString(u"rest"), QStringLiteral("7.500"));
    EXPECT_EQ(position::restVolumeInPackagesText(table->currentRow()), QStringLiteral("10"));
}

TEST(PositionArithmetic, ResultsAreStoredRoundedAndTheRemainsAddTheStoredValues)
{
    TempDir dir;
    auto table = newRow(dir);
    // 0.333 l x 7 and 33.33 roubles x 7: three decimals stored; the remains equal the stored volume.
    table->setString(u"package_volume", QStringLiteral("0,333"));
    table->setString(u"package_count", QStringLiteral("7"));
    table->setString(u"purches_price", QStringLiteral("33,33"));
    position::calculateSomeFields(*table, position::RowKind::Position);
    EXPECT_EQ(table->asString(u"volume"), QStringLiteral("2.331"));
    EXPECT_EQ(table->asString(u"sum_coming"), QStringLiteral("0.233")); // 233.31 roubles
    EXPECT_EQ(table->asString(u"rest"), table->asString(u"volume"));
}

TEST(PositionArithmetic, StepsWithoutTheirValuesLeaveTheirFieldsAndTransfersHaveNoComing)
{
    TempDir dir;
    auto table = newRow(dir);
    table->setString(u"package_volume", QStringLiteral("0,5"));
    table->setString(u"volume", QStringLiteral("4"));
    table->setString(u"sum_coming", QStringLiteral("1"));
    table->setString(u"other_coming", QStringLiteral("2"));
    // No package count: volume and sum stay as they were; no price: the retail sum is not touched.
    table->setString(u"package_count_charges", QStringLiteral("2"));
    position::calculateSomeFields(*table, position::RowKind::Position);
    EXPECT_EQ(table->asString(u"volume"), QStringLiteral("4.000"));
    EXPECT_EQ(table->asString(u"sum_coming"), QStringLiteral("1.000"));
    EXPECT_TRUE(table->isNull(u"sum_charges"));
    EXPECT_EQ(table->asString(u"rest"), QStringLiteral("5.000"));

    // A transfer with a package count would not get a volume of its own from it.
    table->setString(u"package_count", QStringLiteral("100"));
    position::calculateSomeFields(*table, position::RowKind::Transfer);
    EXPECT_EQ(table->asString(u"volume"), QStringLiteral("4.000"));
}

TEST(PositionArithmetic, OpeningRemainsInPackages)
{
    TempDir dir;
    auto table = newRow(dir);
    table->setString(u"rest_volume", QStringLiteral("1,5"));
    EXPECT_TRUE(position::restVolumeInPackagesText(table->currentRow()).isEmpty()); // no package volume
    table->setString(u"package_volume", QStringLiteral("0,5"));
    EXPECT_EQ(position::restVolumeInPackagesText(table->currentRow()), QStringLiteral("3"));
    table->setString(u"package_volume", QStringLiteral("0,75"));
    EXPECT_EQ(position::restVolumeInPackagesText(table->currentRow()), QStringLiteral("2"));
    table->setString(u"rest_volume", QStringLiteral("1"));
    table->setString(u"package_volume", QStringLiteral("0,4"));
    EXPECT_EQ(position::restVolumeInPackagesText(table->currentRow()), QStringLiteral("2,5"));
    table->setString(u"package_volume", QStringLiteral("0"));
    EXPECT_FALSE(position::restVolumeInPackages(table->currentRow())); // no division by an empty package
}

// --- position entry rules ------------------------------------------------------------------------

TEST(PositionEntry, DateOfManufactureFormatByLength)
{
    for (const char *accepted : {"01.02.12", "01.02.12/05.03.12", "01.02.12/5.03.12", "01.02.12;05.03.12;06.04.12"})
        EXPECT_TRUE(position::productionNumberFormatAccepted(QString::fromLatin1(accepted))) << accepted;
    for (const char *refused : {"1.02.12", "01.02.2012", "01.02.12/", "1"})
        EXPECT_FALSE(position::productionNumberFormatAccepted(QString::fromLatin1(refused))) << refused;
    for (QChar c : QStringLiteral("0123456789,./;"))
        EXPECT_TRUE(position::productionNumberCharAccepted(c));
    for (QChar c : QStringLiteral("a-: я"))
        EXPECT_FALSE(position::productionNumberCharAccepted(c));
}

namespace {

QByteArray completePosition(const QByteArray &more = {})
{
    return "production_name=\"Водка\" production_number=\"01.02.12\" production_code=\"1\" producer_name=\"Завод\" "
           "region_code=\"71\" department_code=\"1\" package_volume=\"0.500\" package_count=\"0\" purches_price=\"0.00\" "
           "sum_coming=\"0.000\" return_volume=\"0.000\" package_count_charges=\"0\" return_volume_charges=\"0.000\" "
           "writeoff_volume_charges=\"0.000\" rest_volume=\"0.000\" rest=\"0.000\" " + more;
}

position::PositionCheck checkOf(const QByteArray &attributes, bool newPosition = true, bool kindKnown = true)
{
    TempDir dir;
    auto table = wholeTable(writeDeclaration(dir.path(), QStringLiteral("c.xml"), {row(declarationKey(1, 1), attributes)}));
    return position::checkPosition(table->currentRow(), newPosition, kindKnown);
}

} // namespace

TEST(PositionEntry, ZeroesEverywhereAreACompletePosition)
{
    const position::PositionCheck check = checkOf(completePosition());
    EXPECT_TRUE(check.passed());
    // The retail price is painted but not required.
    EXPECT_EQ(check.warned, QSet<QString>{QStringLiteral("markup")});
}

TEST(PositionEntry, MissingAndNegativeValuesFailWithTheirFieldsMarked)
{
    position::PositionCheck check = checkOf(completePosition().replace("producer_name=\"Завод\" ", ""));
    EXPECT_TRUE(check.missingOrNegative);
    EXPECT_TRUE(check.warned.contains(QStringLiteral("producer_name")));

    check = checkOf(completePosition().replace("rest=\"0.000\"", "rest=\"-1.000\""));
    EXPECT_TRUE(check.missingOrNegative);
    EXPECT_TRUE(check.warned.contains(QStringLiteral("rest")));

    check = checkOf(completePosition().replace("package_count=\"0\"", "package_count=\"-2\""));
    EXPECT_TRUE(check.missingOrNegative);
    EXPECT_TRUE(check.warned.contains(QStringLiteral("package_count")));

    // A negative write-off would add to the remains.
    check = checkOf(completePosition().replace("writeoff_volume_charges=\"0.000\"", "writeoff_volume_charges=\"-1.000\""));
    EXPECT_FALSE(check.passed());

    // No subdivision is painted but does not block; no region does block.
    check = checkOf(completePosition().replace("department_code=\"1\" ", ""));
    EXPECT_TRUE(check.passed());
    EXPECT_TRUE(check.warned.contains(QStringLiteral("department_code")));
    check = checkOf(completePosition().replace("region_code=\"71\" ", ""));
    EXPECT_FALSE(check.passed());
    EXPECT_TRUE(check.warned.contains(QStringLiteral("region_code")));
}

TEST(PositionEntry, DateFormatOnlyForNewPositionsAndUnknownKindBlocks)
{
    const QByteArray badDate = completePosition().replace("01.02.12", "1.02.12");
    position::PositionCheck check = checkOf(badDate, true);
    EXPECT_TRUE(check.dateFormatRefused);
    EXPECT_FALSE(check.missingOrNegative);
    EXPECT_TRUE(check.warned.contains(QStringLiteral("production_number")));
    EXPECT_TRUE(checkOf(badDate, false).passed());

    check = checkOf(completePosition(), true, false);
    EXPECT_TRUE(check.kindUnknown);
    EXPECT_FALSE(check.passed());
    EXPECT_TRUE(check.warned.contains(QStringLiteral("production_code")));
}

TEST(PositionEntry, PackageCountWarning)
{
    TempDir dir;
    auto table = newRow(dir);
    EXPECT_TRUE(position::packageCountSuspicious(table->currentRow()));
    table->setString(u"package_count", QStringLiteral("1000"));
    EXPECT_FALSE(position::packageCountSuspicious(table->currentRow()));
    table->setString(u"package_count", QStringLiteral("1001"));
    EXPECT_TRUE(position::packageCountSuspicious(table->currentRow()));
    table->setString(u"package_count", QStringLiteral("0"));
    EXPECT_FALSE(position::packageCountSuspicious(table->currentRow()));
}

TEST(PositionNumbering, NextNumberWithinTheInvoice)
{
    TempDir dir;
    const auto positionsOf = [&dir](const QList<QByteArray> &rows, int invoice) {
        auto table = std::make_unique<Table>(writeDeclaration(dir.path(), QStringLiteral("p.xml"), rows));
        const std::string invoiceKey = declarationKey(invoice).toStdString();
        table->setIndexFieldNames(QStringLiteral("dkey"));
        table->setFilter([invoiceKey](const RowView &r) { return viewfilter::isPositionOf(r.utf8(r.fieldIndex(u"dkey")), invoiceKey); });
        table->setFiltered(true);
        table->open();
        return table;
    };
    auto none = positionsOf({row(declarationKey(7)), row(declarationKey(8, 4))}, 7);
    EXPECT_EQ(position::newPositionKey(*none, keyOf(7)), keyOf(7, 1));
    // Transfers of the last position and other invoices' positions do not count.
    auto some = positionsOf({row(declarationKey(1)), row(declarationKey(1, 2)), row(declarationKey(1, 1)),
                             row(declarationKey(1, 2, 5)), row(declarationKey(2, 9))},
                            1);
    EXPECT_EQ(position::lastPositionNumber(*some), 2);
    EXPECT_EQ(position::newPositionKey(*some, keyOf(1)), keyOf(1, 3));
}

TEST(PositionSaving, NewPositionTakesTheWaybillAndNoTransfers)
{
    TempDir dir;
    auto table = wholeTable(writeDeclaration(
        dir.path(), QStringLiteral("w.xml"),
        {row(declarationKey(1), "supply_name=\"ООО Юг\" ttn_numer=\"Т-5\" ttn_date=\"20120305\" license=\"L\"")}));
    auto position = newRow(dir);
    position->setString(u"other_charges", QStringLiteral("9"));
    position::completeNewPosition(*position, table->currentRow());
    EXPECT_EQ(position->asString(u"supply_name"), QStringLiteral("ООО Юг"));
    EXPECT_EQ(position->asString(u"ttn_numer"), QStringLiteral("Т-5"));
    EXPECT_EQ(position->asDate(u"ttn_date"), QDate(2012, 3, 5));
    EXPECT_TRUE(position->isNull(u"license"));
    EXPECT_EQ(position->asString(u"other_charges"), QStringLiteral("0.000"));
}

// --- transfers -----------------------------------------------------------------------------------

TEST(TransferEntry, PackageCountsAndTheirChecks)
{
    EXPECT_EQ(transfer::packageCountOf(u"4"), 4);
    EXPECT_FALSE(transfer::packageCountOf(u""));
    EXPECT_FALSE(transfer::packageCountOf(u"2,5"));
    EXPECT_FALSE(transfer::packageCountOf(u"-3"));

    TempDir dir;
    auto table = newRow(dir);
    table->setString(u"package_volume", QStringLiteral("0,5"));
    transfer::storePackageCount(*table, 4);
    EXPECT_EQ(table->asString(u"other_coming"), QStringLiteral("2.000"));
    EXPECT_EQ(transfer::packageCountText(table->currentRow()), QStringLiteral("4"));
    table->setString(u"other_coming", QStringLiteral("1,25"));
    EXPECT_EQ(transfer::packageCountText(table->currentRow()), QStringLiteral("2,5"));

    transfer::TransferCheck check = transfer::checkTransfer(table->currentRow(), u"");
    EXPECT_TRUE(check.packageCountEmpty);
    EXPECT_TRUE(check.packageCountChargesBad);
    EXPECT_TRUE(check.returnVolumeChargesBad);
    EXPECT_TRUE(check.restVolumeEmpty);
    EXPECT_TRUE(check.departmentMissing);

    table->setString(u"package_count_charges", QStringLiteral("0"));
    table->setString(u"return_volume_charges", QStringLiteral("0"));
    table->setString(u"rest_volume", QStringLiteral("0"));
    table->setString(u"department_code", QStringLiteral("2"));
    position::calculateSomeFields(*table, position::RowKind::Transfer);
    EXPECT_TRUE(transfer::checkTransfer(table->currentRow(), u"4").passed());
    EXPECT_TRUE(transfer::checkTransfer(table->currentRow(), u"2,5").packageCountNotWhole);
    table->setString(u"department_code", QStringLiteral("2а"));
    EXPECT_TRUE(transfer::checkTransfer(table->currentRow(), u"4").departmentNotNumber);
    table->setString(u"department_code", QStringLiteral("2"));
    table->setString(u"package_count_charges", QStringLiteral("10")); // no package volume change: 5 l sold of 1.25
    position::calculateSomeFields(*table, position::RowKind::Transfer);
    EXPECT_TRUE(transfer::checkTransfer(table->currentRow(), u"4").restNegative);
}

TEST(TransferNumbering, FirstIsOneAndTheHundredthIsRefused)
{
    TempDir dir;
    const QString positionKey = keyOf(1, 1);
    auto none = transferTable(writeDeclaration(dir.path(), QStringLiteral("a.xml"),
                                               {row(declarationKey(1)), row(declarationKey(1, 1)), row(declarationKey(1, 2, 3))}),
                              positionKey);
    EXPECT_EQ(transfer::newTransferKey(*none, positionKey), keyOf(1, 1, 1));

    auto full = transferTable(writeDeclaration(dir.path(), QStringLiteral("b.xml"),
                                               {row(declarationKey(1, 1)), row(declarationKey(1, 1, 98)), row(declarationKey(1, 1, 99))}),
                              positionKey);
    try {
        transfer::newTransferKey(*full, positionKey);
        FAIL() << "the hundredth transfer was numbered";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("99 внутренних перемещений"))) << e.message().toStdString();
    }
}

namespace {

// A position of 0.5 l packages holding 10 l, sold nothing yet, held by subdivision 1.
QString transferDeclaration(const TempDir &dir, const QList<QByteArray> &more = {})
{
    QList<QByteArray> rows{row(declarationKey(1), "supply_name=\"ООО Юг\""),
                           row(declarationKey(1, 1), "production_name=\"Водка\" department_code=\"1\" alcohol=\"40.00\" "
                                                     "package_volume=\"0.500\" volume=\"10.000\" rest=\"10.000\""),
                           row(declarationKey(1, 2), "department_code=\"1\" rest=\"1.000\" volume=\"1.000\"")};
    return writeDeclaration(dir.path(), QStringLiteral("t.xml"), rows + more);
}

} // namespace

TEST(TransferBookkeeping, AddEditAndDeleteKeepTheSourceInStep)
{
    TempDir dir;
    const QString file = transferDeclaration(dir);
    const QString positionKey = keyOf(1, 1);

    // Adding 4 packages: the source gives 2 l.
    {
        auto whole = wholeTable(file);
        whole->setRecNo(2);
        const RowView source = whole->currentRow();
        auto transfers = transferTable(file, positionKey);
        transfers->append();
        transfers->setString(u"dkey", transfer::newTransferKey(*transfers, positionKey));
        transfer::fillFromSource(*transfers, source);
        EXPECT_EQ(transfers->asString(u"department_code_inner"), QStringLiteral("1"));
        EXPECT_EQ(transfers->asString(u"production_name"), QStringLiteral("Водка"));
        EXPECT_TRUE(transfers->isNull(u"alcohol")); // taken only on saving
        transfer::storePackageCount(*transfers, 4);
        transfers->setString(u"department_code", QStringLiteral("2"));
        position::calculateSomeFields(*transfers, position::RowKind::Transfer);
        transfer::saveNewTransfer(*transfers, positionKey, source);
    }
    EXPECT_EQ(textIn(file, keyOf(1, 1, 1), u"other_coming"), QStringLiteral("2.000"));
    EXPECT_EQ(textIn(file, keyOf(1, 1, 1), u"alcohol"), QStringLiteral("40.00"));
    EXPECT_EQ(textIn(file, keyOf(1, 1, 1), u"rest"), QStringLiteral("2.000"));
    EXPECT_EQ(textIn(file, positionKey, u"other_charges"), QStringLiteral("2.000"));
    EXPECT_EQ(textIn(file, positionKey, u"rest"), QStringLiteral("8.000"));
    EXPECT_EQ(textIn(file, positionKey, u"department_code_inner_charges"), QStringLiteral("0"));
    EXPECT_EQ(textIn(file, keyOf(1, 2), u"rest"), QStringLiteral("1.000")); // the other position untouched

    // Editing it to 6 packages: a further litre.
    {
        auto transfers = transferTable(file, positionKey);
        const double old = transfers->asFloat(u"other_coming");
        transfers->edit();
        transfer::storePackageCount(*transfers, 6);
        transfer::saveChangedTransfer(*transfers, positionKey, old);
    }
    EXPECT_DOUBLE_EQ(valueIn(file, positionKey, u"other_charges"), 3.0);
    EXPECT_DOUBLE_EQ(valueIn(file, positionKey, u"rest"), 7.0);

    // Deleting it: the 3 l come back.
    {
        auto transfers = transferTable(file, positionKey);
        transfer::deleteTransfer(*transfers, positionKey);
    }
    EXPECT_EQ(textIn(file, keyOf(1, 1, 1), u"dkey"), QStringLiteral("<no row>"));
    EXPECT_DOUBLE_EQ(valueIn(file, positionKey, u"other_charges"), 0.0);
    EXPECT_DOUBLE_EQ(valueIn(file, positionKey, u"rest"), 10.0);
}

TEST(TransferBookkeeping, AFailedBookingWritesNeitherTheTransferNorThePosition)
{
    TempDir dir;
    // A transfer whose position row is gone from the file.
    const QString file = writeDeclaration(dir.path(), QStringLiteral("o.xml"),
                                          {row(declarationKey(1)), row(declarationKey(1, 3, 1), "other_coming=\"1.000\"")});
    QFile before(file);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray original = before.readAll();
    before.close();

    auto transfers = transferTable(file, keyOf(1, 3));
    EXPECT_THROW(transfer::deleteTransfer(*transfers, keyOf(1, 3)), KalvorError);
    // The booking of another position's transfer is refused rather than misplaced.
    auto other = transferTable(file, keyOf(1, 3));
    EXPECT_THROW(transfer::saveChangedTransfer(*other, keyOf(1, 4), 0), KalvorError);

    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), original);
}
