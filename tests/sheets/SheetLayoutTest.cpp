#include "sheets/SheetLayout.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kalvor::sheets;

namespace {

// Five template rows: a styled data row (2), a total row with a merged label (4) and a two-row merge (5-6).
SheetLayout sampleSheet()
{
    SheetLayout sheet;
    std::vector<SheetLayout::TemplateRow> rows(6);
    rows[1].cells = {{1, 7}, {3, 8}};
    rows[3].cells = {{1, 9}};
    rows[3].rowFormat = 5;
    sheet.startFromTemplate(std::move(rows), std::vector<CellFormat>(10));
    sheet.setText(4, 1, QStringLiteral("Итого"));
    sheet.addMerge(4, {1, 2, 1});
    sheet.setHeight(4, 20);
    sheet.addMerge(5, {1, 3, 2});
    sheet.setFontColour(2, 2, 1, 3, kRed);
    return sheet;
}

} // namespace

TEST(SheetLayout, InsertedRowTakesTheFormatsOfTheRowAboveButNotItsValuesOrMerges)
{
    SheetLayout sheet = sampleSheet();
    sheet.setText(2, 1, QStringLiteral("данные"));
    sheet.insertRow(3);
    EXPECT_EQ(sheet.rowCount(), 7);
    EXPECT_EQ(sheet.formatRow(3), 2);
    EXPECT_EQ(sheet.formatIndexAt(3, 3), 8);
    EXPECT_EQ(sheet.fontColourAt(3, 2), kRed);
    EXPECT_TRUE(sheet.cells(3).empty());
    // Everything below moved down with its merges and heights.
    EXPECT_EQ(sheet.textAt(5, 1), QStringLiteral("Итого"));
    EXPECT_EQ(sheet.formatRow(5), 4);
    EXPECT_EQ(sheet.formatIndexAt(5, 2), 5); // the row format where the template row has no cell
    EXPECT_EQ(sheet.height(5), 20);
    EXPECT_EQ(sheet.merges(5), (std::vector<SheetLayout::Merge>{{1, 2, 1}}));
    // Inserting inside a taller merge stretches it; a row under the total is no longer merged with it.
    sheet.insertRow(7);
    EXPECT_EQ(sheet.merges(6), (std::vector<SheetLayout::Merge>{{1, 3, 3}}));
    sheet.insertRow(6);
    EXPECT_EQ(sheet.merges(5), (std::vector<SheetLayout::Merge>{{1, 2, 1}}));
    EXPECT_TRUE(sheet.merges(6).empty());
}

TEST(SheetLayout, CopiedRowsReplaceTheTargetWithContentsFormatsMergesAndHeights)
{
    SheetLayout sheet = sampleSheet();
    sheet.setText(1, 2, QStringLiteral("будет заменено"));
    sheet.copyRows(4, 5, 1);
    EXPECT_EQ(sheet.textAt(1, 1), QStringLiteral("Итого"));
    EXPECT_TRUE(sheet.textAt(1, 2).isEmpty());
    EXPECT_EQ(sheet.formatRow(1), 4);
    EXPECT_EQ(sheet.height(1), 20);
    EXPECT_EQ(sheet.merges(1), (std::vector<SheetLayout::Merge>{{1, 2, 1}}));
    // A merge reaching beyond the copied rows is pasted as far as they go.
    EXPECT_EQ(sheet.merges(2), (std::vector<SheetLayout::Merge>{{1, 3, 1}}));
    EXPECT_FALSE(sheet.fontColourAt(2, 1)); // the colour went with the row that was replaced
    // Pasting changes what a row holds, not where the template rows are.
    const std::vector<int> at = sheet.templateRowPositions();
    EXPECT_EQ(at[1], 1);
    EXPECT_EQ(at[4], 4);
}

TEST(SheetLayout, DeletingRowsMovesTheRestUpAndKeepsTrackOfTemplateRows)
{
    SheetLayout sheet = sampleSheet();
    sheet.insertRow(2);
    sheet.insertRow(2);
    sheet.deleteRow(1);
    const std::vector<int> at = sheet.templateRowPositions();
    EXPECT_EQ(at[1], 0);
    EXPECT_EQ(at[2], 3);
    EXPECT_EQ(at[4], 5);
    EXPECT_EQ(sheet.textAt(5, 1), QStringLiteral("Итого"));
    // Deleting the top row of a two-row merge leaves a one-row merge on the row below it.
    sheet.deleteRow(6);
    EXPECT_EQ(sheet.merges(6), (std::vector<SheetLayout::Merge>{{1, 3, 1}}));
    // Heading rows to repeat follow their rows.
    SheetLayout::Page page;
    page.firstRepeatRow = 2;
    page.lastRepeatRow = 4;
    sheet.setPage(page);
    EXPECT_EQ(sheet.page().firstRepeatRow, 3);
    EXPECT_EQ(sheet.page().lastRepeatRow, 5);
}

TEST(SheetLayout, CellsHoldTextNumbersAndDatesAndEmptyValuesClearThem)
{
    SheetLayout sheet;
    sheet.setText(2, 33, QStringLiteral("Водка \"Тула\" & <б>"));
    sheet.setNumber(2, 1, -1.5);
    sheet.setCell(2, 5, SheetLayout::Value::ofDate(QDate(2012, 3, 5)));
    sheet.setTextUtf8(2, 6, "ИИИ");
    EXPECT_EQ(sheet.rowCount(), 2);
    ASSERT_EQ(sheet.cells(2).size(), 4u);
    EXPECT_EQ(sheet.cells(2)[0].column, 1);
    EXPECT_EQ(sheet.value(2, 1), SheetLayout::Value::ofNumber(-1.5));
    EXPECT_EQ(sheet.value(2, 5).date, QDate(2012, 3, 5));
    EXPECT_EQ(sheet.textAt(2, 6), QStringLiteral("ИИИ"));
    EXPECT_EQ(sheet.textAt(2, 33), QStringLiteral("Водка \"Тула\" & <б>"));
    sheet.setText(2, 33, QString());
    sheet.setCell(2, 1, {});
    EXPECT_EQ(sheet.cells(2).size(), 2u);
    EXPECT_EQ(formatNumber(-0.0004, QStringLiteral("0.000")), QStringLiteral("0,000"));
    EXPECT_EQ(formatNumber(1234.5, QStringLiteral("0.000")), QStringLiteral("1234,500"));
    EXPECT_EQ(formatNumber(0.126, QStringLiteral("0%")), QStringLiteral("13%"));
    EXPECT_EQ(formatNumber(1.5, QStringLiteral("General")), QStringLiteral("1,5"));
    EXPECT_EQ(formatNumber(40908, QStringLiteral("dd\\.mm\\.yyyy")), QStringLiteral("31.12.2011"));
    EXPECT_EQ(formatNumber(-7, QStringLiteral("[Red]0.00;[Blue]-0.00")), QStringLiteral("-7,00"));
    EXPECT_EQ(columnName(33), QStringLiteral("AG"));
    EXPECT_EQ(columnNumber(u"AG"), 33);
    EXPECT_EQ(columnNumber(u"A1"), 0);
}
