#include "editing/FieldCaptions.h"
#include "editing/PositionEditing.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;

TEST(FieldCaptions, MessagesNameTheEntryTheUserSees)
{
    EXPECT_EQ(withFieldCaption(QStringLiteral("«12a» не является целым числом (поле package_count)"), u"package_count"),
              QStringLiteral("«12a» не является целым числом (поле «Количество тары (шт.)»)"));
    // Only the whole name is replaced: "volume" is no part of "rest_volume".
    EXPECT_EQ(withFieldCaption(QStringLiteral("Поле rest_volume и поле volume"), u"volume"),
              QStringLiteral("Поле rest_volume и поле «Объем (л.)»"));
    // A column without a title keeps its message.
    EXPECT_EQ(withFieldCaption(QStringLiteral("поле dkey"), u"dkey"), QStringLiteral("поле dkey"));
}

TEST(EmptyQuantities, CountAsNoneButOtherEntriesStayRequired)
{
    test::TempDir dir;
    const QString file = test::writeDeclaration(
        dir.path(), QStringLiteral("d.xml"),
        {"dkey=\"" + test::declarationKey(1, 1) + "\" rest_volume=\"2.000\" package_count=\"\" markup=\"\""});
    Table row(file);
    row.open();
    row.first();
    EXPECT_EQ(position::zeroEmptyQuantities(row, position::positionQuantities()), 5);
    EXPECT_EQ(row.state(), Table::State::Edit);
    EXPECT_EQ(row.asString(u"rest_volume"), QStringLiteral("2.000")); // typed: kept
    EXPECT_EQ(row.asString(u"package_count"), QStringLiteral("0"));
    EXPECT_EQ(row.asString(u"writeoff_volume_charges"), QStringLiteral("0.000"));
    EXPECT_TRUE(row.isNull(u"package_volume")); // a property of the product, not a quantity
    EXPECT_TRUE(row.isNull(u"markup"));
    EXPECT_EQ(position::zeroEmptyQuantities(row, position::transferQuantities()), 0);
}
