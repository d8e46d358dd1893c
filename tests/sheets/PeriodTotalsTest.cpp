#include "sheets/PeriodTotals.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/MaintenanceWorkspace.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::test;

TEST(PeriodTotals, KindTotalsSumQuantitiesAndKeepTheFirstRowsDescription)
{
    const TempDir dir;
    Table table(
        writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                         {row(1, 1, 0, "production_code=\"3\" markup=\"10.00\" volume=\"1.500\" package_count=\"3\""),
                          row(1, 2, 0, "production_code=\"3\" markup=\"20.00\" volume=\"2.250\" package_count=\"4\""),
                          row(1, 3, 0, "production_code=\"13\" volume=\"7.000\" rest=\"-1.000\""), row(1, 4, 0, "")}));
    table.open();
    const TotalsColumns columns = TotalsColumns::of(table.row(0));
    TTotal kinds;
    TRemains remains;
    for (int i = 0; i < table.recordCount(); ++i) {
        kinds.count(table.row(i), columns);
        remains.Add(table.row(i), columns);
    }
    ASSERT_TRUE(kinds.slot(3));
    EXPECT_EQ(kinds.slot(3)->Fmarkup, 10);
    EXPECT_EQ(kinds.slot(3)->Fvolume, 3.75);
    EXPECT_EQ(kinds.slot(3)->Fpackage_count, 7);
    for (int kind = 1; kind <= 12; ++kind)
        EXPECT_EQ(kinds.slot(kind).has_value(), kind == 3) << kind; // code 13 has no slot
    // Every row counts in the remains, an empty row as zeros.
    EXPECT_EQ(remains.Volume(), 10.75);
    EXPECT_EQ(remains.Rest(), -1);
    remains.Add(remains);
    EXPECT_EQ(remains.Volume(), 21.5);
    remains.Reset();
    EXPECT_EQ(remains, TRemains());
    kinds.clear();
    EXPECT_FALSE(kinds.slot(3));
}
