#include "editing/DeclarationSearch.h"
#include "editing/DeclarationViews.h"
#include "store/KalvorError.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

QByteArray row(const QByteArray &key, const QByteArray &more = {}) { return "dkey=\"" + key + "\" " + more; }

// All rows ordered by key, as the searches walk them.
void openAll(Table &table, const QString &file)
{
    table.setFileName(file);
    table.setIndexFieldNames(QStringLiteral("dkey"));
    table.open();
}

} // namespace

TEST(WaybillSearch, MatchesTheWholeNumberExactlyAndTakesTheFirstInKeyOrder)
{
    TempDir dir;
    DeclarationViews views;
    views.reopen(writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                  {row(declarationKey(1), "ttn_numer=\"012\""), row(declarationKey(2), "ttn_numer=\"12 \""),
                                   row(declarationKey(4), "ttn_numer=\"12\""), row(declarationKey(3), "ttn_numer=\"12\""),
                                   row(declarationKey(5), "ttn_numer=\"Аб-7\"")}));
    EXPECT_EQ(search::findInvoiceByWaybill(views.ClientDataSetInvoice, QStringLiteral("12")), 2); // invoice 3
    EXPECT_EQ(search::findInvoiceByWaybill(views.ClientDataSetInvoice, QStringLiteral("Аб-7")), 4);
    EXPECT_EQ(search::findInvoiceByWaybill(views.ClientDataSetInvoice, QStringLiteral("аб-7")), -1);
    EXPECT_EQ(search::findInvoiceByWaybill(views.ClientDataSetInvoice, QStringLiteral("1")), -1);
    EXPECT_EQ(search::waybillNotFoundMessage(QStringLiteral("7")), QStringLiteral("Накладной с номером 7 не найдена! "));
}

TEST(NegativeRestSearch, StepsThroughTheRowsInKeyOrderThenStartsOver)
{
    TempDir dir;
    const QByteArray a = declarationKey(1, 2), b = declarationKey(2, 1, 1), c = declarationKey(3, 1);
    Table rows;
    openAll(rows, writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                   {row(c, "rest=\"-0.500\""), row(declarationKey(1)), row(declarationKey(1, 1), "rest=\"0.000\""),
                                    row(a, "rest=\"-1.000\""), row(b, "rest=\"-2.000\""), row(declarationKey(2, 1), "rest=\"3.000\""),
                                    row(declarationKey(4, 1))}));
    QString searchKey;
    QStringList shown;
    for (int press = 0; press < 5; ++press) {
        const search::NegativeRestStep step = search::nextNegativeRest(rows, searchKey);
        shown << step.found + (step.reachedEnd ? QStringLiteral(" end") : QString());
        searchKey = step.nextSearchKey;
    }
    const QString qa = QString::fromLatin1(a), qb = QString::fromLatin1(b), qc = QString::fromLatin1(c);
    EXPECT_EQ(shown, (QStringList{qa, qb, qc, qc + QStringLiteral(" end"), qa}));

    // A row that is no longer negative does not send the search back to the start.
    const search::NegativeRestStep after = search::nextNegativeRest(rows, QString::fromLatin1(declarationKey(1, 5)));
    EXPECT_EQ(after.found, qb);
}

TEST(NegativeRestSearch, NoSuchRowsFindsNothingAndTheInvoiceOfALargePositionIsFound)
{
    TempDir dir;
    Table rows;
    openAll(rows, writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                   {row(declarationKey(1)), row(declarationKey(1, 1), "rest=\"1.000\"")}));
    const search::NegativeRestStep none = search::nextNegativeRest(rows, QString());
    EXPECT_TRUE(none.found.isEmpty());
    EXPECT_FALSE(none.reachedEnd);
    EXPECT_TRUE(none.nextSearchKey.isEmpty());

    DeclarationViews views;
    views.reopen(writeDeclaration(dir.path(), QStringLiteral("v.xml"),
                                  {row(declarationKey(1)), row(declarationKey(2)), row(declarationKey(2, 123456))}));
    // Position 123456 begins with a 1: the invoice is still found (stem and invoice number decide).
    EXPECT_EQ(search::findInvoiceOf(views.ClientDataSetInvoice, QString::fromLatin1(declarationKey(2, 123456))), 1);
    EXPECT_EQ(search::findInvoiceOf(views.ClientDataSetInvoice, QString::fromLatin1(declarationKey(2, 1, 3))), 1);
    EXPECT_EQ(search::findInvoiceOf(views.ClientDataSetInvoice, QString::fromLatin1(declarationKey(9, 1))), -1);
    EXPECT_EQ(search::findInvoiceOf(views.ClientDataSetInvoice, QString()), -1);
}

TEST(PriceListing, ListsVodkaOrCognacAtOrAboveTheThreshold)
{
    TempDir dir;
    const QByteArray vodka = "production_code=\"1\" package_volume=\"0.500\" ";
    const QByteArray cognac = "production_code=\"3\" package_volume=\"0.700\" ";
    Table rows;
    openAll(rows, writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                   {row(declarationKey(1), vodka + "purches_price=\"99.00\""), // an invoice row never
                                    row(declarationKey(1, 1), vodka + "purches_price=\"77.00\""),
                                    row(declarationKey(1, 2), vodka + "purches_price=\"76.99\""),
                                    row(declarationKey(1, 3), "production_code=\"1\" package_volume=\"0.750\" purches_price=\"90.00\""),
                                    row(declarationKey(1, 3, 1), vodka + "purches_price=\"80.00\""),
                                    row(declarationKey(1, 4), vodka),
                                    row(declarationKey(2, 1), cognac + "purches_price=\"200.00\"")}));
    const QString log = dir.file(QStringLiteral("log1.txt"));
    EXPECT_EQ(search::writePriceListing(rows, 0, QStringLiteral("77"), log), 2);
    EXPECT_EQ(readAll(log), "dkey=" + declarationKey(1, 1) + "\r\ndkey=" + declarationKey(1, 3, 1) + "\r\n");
    EXPECT_EQ(search::writePriceListing(rows, 1, QStringLiteral("167"), log), 1);
    EXPECT_EQ(readAll(log), "dkey=" + declarationKey(2, 1) + "\r\n"); // written anew
    EXPECT_EQ(search::writePriceListing(rows, 1, QStringLiteral("200,01"), log), 0);
    EXPECT_EQ(readAll(log), QByteArray());

    // A threshold that is no number is refused before the old listing is touched.
    search::writePriceListing(rows, 0, QStringLiteral("77"), log);
    EXPECT_THROW(search::writePriceListing(rows, 0, QStringLiteral("77 руб"), log), KalvorError);
    EXPECT_EQ(readAll(log).count("dkey="), 2);
}
