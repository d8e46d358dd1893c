#include "editing/DeclarationViews.h"
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
