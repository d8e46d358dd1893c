#include "editing/DeclarationViews.h"
#include "editing/InvoiceEditing.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QString kStem = QStringLiteral("710701234500120300");

// The invoice rows of a declaration, as the invoice dialog sees them.
std::unique_ptr<Table> invoiceTable(const QString &file)
{
    auto table = std::make_unique<Table>(file);
    table->setIndexFieldNames(QStringLiteral("dkey"));
    table->setFilter([](const RowView &row) { return viewfilter::isInvoiceRow(row.utf8(row.fieldIndex(u"dkey"))); });
    table->setFiltered(true);
    table->open();
    return table;
}

} // namespace

TEST(InvoiceNumbering, NextNumberFollowsTheGreatestInvoiceAndLeavesGaps)
{
    TempDir dir;
    auto empty = invoiceTable(writeDeclaration(dir.path(), QStringLiteral("e.xml"), {}));
    EXPECT_EQ(invoice::newInvoiceKey(*empty, kStem), kStem + QStringLiteral("00000100000000"));

    // Written out of order, with positions after the last invoice: the positions do not count.
    auto table = invoiceTable(writeDeclaration(
        dir.path(), QStringLiteral("d.xml"),
        {"dkey=\"" + declarationKey(5) + "\"", "dkey=\"" + declarationKey(1) + "\"", "dkey=\"" + declarationKey(2) + "\"",
         "dkey=\"" + declarationKey(5, 3) + "\"", "dkey=\"" + declarationKey(7, 1) + "\""}));
    EXPECT_EQ(invoice::highestInvoiceNumber(*table), 5);
    EXPECT_EQ(invoice::newInvoiceKey(*table, kStem), kStem + QStringLiteral("00000600000000"));

    // Invoices keyed with February's stem sort before March's: the highest number counts, not the last key.
    auto mixed = invoiceTable(writeDeclaration(dir.path(), QStringLiteral("m.xml"),
                                               {"dkey=\"71070123450012020000001100000000\"",
                                                "dkey=\"" + declarationKey(2) + "\""}));
    EXPECT_EQ(invoice::newInvoiceKey(*mixed, kStem), kStem + QStringLiteral("00001200000000"));
}

TEST(InvoiceNumbering, ANumberPastSixDigitsIsRefusedWithAMessage)
{
    TempDir dir;
    auto full = invoiceTable(writeDeclaration(dir.path(), QStringLiteral("d.xml"), {"dkey=\"" + declarationKey(999999) + "\""}));
    try {
        invoice::newInvoiceKey(*full, kStem);
        FAIL() << "a seventh digit was accepted";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("999999"))) << e.message().toStdString();
    }
    auto bad = invoiceTable(writeDeclaration(dir.path(), QStringLiteral("b.xml"),
                                             {"dkey=\"710701234500120300ABCDEF00000000\""}));
    EXPECT_THROW(invoice::highestInvoiceNumber(*bad), KalvorError);
}

TEST(InvoiceChecks, FirstInvoiceKeyAndRequiredFields)
{
    EXPECT_TRUE(invoice::isFirstInvoiceKey(kStem + QStringLiteral("00000100000000")));
    EXPECT_FALSE(invoice::isFirstInvoiceKey(kStem + QStringLiteral("00000200000000")));
    EXPECT_FALSE(invoice::isFirstInvoiceKey(kStem + QStringLiteral("00000100000100")));
    EXPECT_FALSE(invoice::isFirstInvoiceKey(QStringLiteral("0000000100000000"))); // too short for a key

    TempDir dir;
    Table table(writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                 {"dkey=\"" + declarationKey(1) + "\" supply_name=\"ООО\" license=\"\" ttn_numer=\"1\" "
                                                                  "ttn_date=\"20120301\""}));
    table.open();
    EXPECT_EQ(invoice::emptyRequiredFields(table.currentRow()),
              (QStringList{QStringLiteral("license"), QStringLiteral("license_date"), QStringLiteral("loading_address")}));
}

TEST(InvoiceChecks, WaybillDateMayNotPassTheDeclarationMonth)
{
    EXPECT_FALSE(invoice::waybillDateRefused(QDate(2012, 3, 31), 2012, 3));
    EXPECT_FALSE(invoice::waybillDateRefused(QDate(2011, 12, 1), 2012, 3));
    EXPECT_TRUE(invoice::waybillDateRefused(QDate(2012, 4, 1), 2012, 3));
    EXPECT_TRUE(invoice::waybillDateRefused(QDate(2013, 1, 1), 2012, 3));
    EXPECT_TRUE(invoice::waybillDateRefused(QDate(2013, 1, 1), 2012, 12));
    EXPECT_FALSE(invoice::waybillDateRefused(QDate(), 2012, 3));
}
