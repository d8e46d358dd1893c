#include "editing/DeclarationViews.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const std::string kStem = "123456789000120300";
std::string key(const char *invoice, const char *position, const char *transfer)
{
    return kStem + invoice + position + transfer;
}

} // namespace

TEST(ViewFilters, RowKindsAndMembershipComeFromTheMiddleOfTheKey)
{
    using namespace viewfilter;
    const std::string invoice = key("000007", "000000", "00");
    const std::string position = key("000007", "000001", "00");
    const std::string transfer = key("000007", "000001", "01");
    EXPECT_TRUE(isInvoiceRow(invoice));
    EXPECT_FALSE(isInvoiceRow(position));
    EXPECT_FALSE(isInvoiceRow(""));
    EXPECT_TRUE(isPositionOf(position, invoice));
    EXPECT_FALSE(isPositionOf(transfer, invoice));
    EXPECT_FALSE(isPositionOf(invoice, invoice));
    EXPECT_FALSE(isPositionOf(key("000008", "000001", "00"), invoice));
    // Another filer's or period's key with the same numbers still belongs: the stem is not compared.
    EXPECT_TRUE(isPositionOf("999999999999990100" + std::string("000007000002") + "00", invoice));
    EXPECT_TRUE(isTransferOf(transfer, position));
    EXPECT_FALSE(isTransferOf(position, position));
    EXPECT_FALSE(isTransferOf(key("000007", "000002", "01"), position));
    EXPECT_FALSE(isPositionOf(position, "")); // no invoice selected: nothing
    EXPECT_TRUE(isSameRow(position, position));
    EXPECT_FALSE(isSameRow("", ""));
}

TEST(DeclarationViews, SelectionDrivesTheDependentViews)
{
    TempDir dir;
    QByteArray rows;
    for (const auto &[i, p, t] : std::vector<std::tuple<const char *, const char *, const char *>>{
             {"000002", "000000", "00"}, {"000001", "000002", "00"}, {"000001", "000000", "00"},
             {"000001", "000001", "00"}, {"000001", "000001", "02"}, {"000001", "000001", "01"},
             {"000002", "000001", "00"}})
        rows += "<ROW RowState=\"4\" dkey=\"" + QByteArray::fromStdString(key(i, p, t)) + "\" />\r\n";
    const QString file = dir.write(QStringLiteral("d.xml"),
                                   handWrittenPacket("<FIELD attrname=\"dkey\" fieldtype=\"string\" WIDTH=\"32\" />\r\n", rows));
    DeclarationViews views;
    views.reopen(file);
    EXPECT_EQ(views.ClientDataSetInvoice.recordCount(), 2);
    EXPECT_EQ(views.ClientDataSetProduction.recordCount(), 2); // invoice 1 is first by key
    EXPECT_EQ(views.ClientDataSetTransfer.recordCount(), 2);
    EXPECT_EQ(views.ClientDataSetTransfer.asString(u"dkey").right(2), QStringLiteral("01"));
    EXPECT_EQ(views.ClientDataSetCommingCharges.recordCount(), 1);

    views.ClientDataSetProduction.next();
    views.positionSelected();
    EXPECT_EQ(views.ClientDataSetTransfer.recordCount(), 0);
    views.ClientDataSetInvoice.next();
    views.invoiceSelected();
    EXPECT_EQ(views.ClientDataSetProduction.recordCount(), 1);
    EXPECT_EQ(views.ClientDataSetCommingCharges.asString(u"dkey"), QString::fromStdString(key("000002", "000001", "00")));
    views.close();
    EXPECT_FALSE(views.isOpen());
}

TEST(DeclarationViews, ReopeningReadsTheFileAgainAndPutsEachViewOnItsRow)
{
    TempDir dir;
    QList<QByteArray> rows;
    for (int invoice = 1; invoice <= 3; ++invoice) {
        rows << "dkey=\"" + declarationKey(invoice) + "\"";
        for (int position = 1; position <= invoice; ++position)
            rows << "dkey=\"" + declarationKey(invoice, position) + "\"";
    }
    rows << "dkey=\"" + declarationKey(3, 2, 1) + "\"" << "dkey=\"" + declarationKey(3, 2, 2) + "\"";
    const QString file = writeDeclaration(dir.path(), QStringLiteral("d.xml"), rows);
    DeclarationViews views;
    views.reopen(file, {DeclarationViews::kLastRow, 2, DeclarationViews::kLastRow});
    EXPECT_EQ(views.ClientDataSetInvoice.recNo(), 3);
    EXPECT_EQ(views.ClientDataSetProduction.recordCount(), 3);
    EXPECT_EQ(views.ClientDataSetProduction.asString(u"dkey"), QString::fromLatin1(declarationKey(3, 2)));
    EXPECT_EQ(views.ClientDataSetTransfer.asString(u"dkey"), QString::fromLatin1(declarationKey(3, 2, 2)));
    EXPECT_EQ(views.ClientDataSetCommingCharges.asString(u"dkey"), QString::fromLatin1(declarationKey(3, 2)));
    EXPECT_EQ(views.cursor().transfer, 2);

    // Another table changes the file; reopening sees it, and each view still saves the whole file.
    {
        Table other(file);
        other.open();
        other.last();
        other.remove();
        other.saveToFile();
    }
    views.reopen(file, views.cursor());
    EXPECT_EQ(views.ClientDataSetTransfer.recordCount(), 1);
    views.ClientDataSetTransfer.remove();
    views.ClientDataSetTransfer.saveToFile();
    views.reopen(file);
    EXPECT_EQ(views.ClientDataSetInvoice.recordCount(), 3);
    views.ClientDataSetInvoice.last();
    views.invoiceSelected();
    EXPECT_EQ(views.ClientDataSetProduction.recordCount(), 3);
}

TEST(EditingAvailability, AnInvoiceOrPositionIsDeletableOnlyWithoutItsRowsBelow)
{
    EditingAvailability c;
    c.positionViewOpened(false, false); // empty declaration: only adding an invoice (and the harmless delete)
    EXPECT_FALSE(c.addProduction);
    EXPECT_FALSE(c.addInnerTransfer);
    EXPECT_FALSE(c.editInvoice);
    EXPECT_TRUE(c.deleteInvoice);
    c.transferViewOpened(false);
    EXPECT_FALSE(c.editInnerTransfer);

    c.positionViewOpened(true, true);
    EXPECT_TRUE(c.addProduction && c.copyProduction && c.editProduction && c.deleteProduction && c.addInnerTransfer);
    EXPECT_FALSE(c.deleteInvoice);
    c.transferViewOpened(true); // the position has transfers
    EXPECT_TRUE(c.editInnerTransfer && c.deleteInnerTransfer);
    EXPECT_FALSE(c.deleteProduction);
    // Another position of the same invoice, without transfers: it can be deleted at once, and moving
    // back to the one with transfers takes that away again.
    c.transferViewOpened(false);
    EXPECT_TRUE(c.deleteProduction);
    EXPECT_FALSE(c.editInnerTransfer);
    c.transferViewOpened(true);
    EXPECT_FALSE(c.deleteProduction);

    c.positionViewOpened(true, false); // an invoice without positions
    EXPECT_TRUE(c.addProduction);
    EXPECT_TRUE(c.deleteInvoice);
    EXPECT_FALSE(c.addInnerTransfer || c.copyProduction || c.editProduction || c.deleteProduction);
}
