#include "sheets/XlsxWorkbook.h"
#include "sheets/XlsxPackage.h"
#include "store/KalvorError.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::test;

namespace {

QString shipped(const char *name)
{
    return QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/") + QString::fromLatin1(name);
}

QString sources(const char *name)
{
    return QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/../src/sheets/templates/") + QString::fromLatin1(name);
}

// A workbook as another program may have saved it: shared strings, a print area, a formula with its
// calculation chain, a page break under row 3.
QString foreignWorkbook(const TempDir &dir)
{
    XlsxPackage p;
    p.setPart(QStringLiteral("[Content_Types].xml"),
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Override PartName=\"/x/calcChain.xml\" "
              "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml\"/>"
              "</Types>");
    p.setPart(QStringLiteral("_rels/.rels"),
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"r1\" Type=\"http://x/officeDocument\" Target=\"/x/book.xml\"/></Relationships>");
    p.setPart(QStringLiteral("x/book.xml"),
              "<x:workbook xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
              "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
              "<x:sheets><x:sheet name=\"Лист 1\" sheetId=\"1\" r:id=\"s\"/></x:sheets><x:definedNames>"
              "<x:definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">'Лист 1'!$A$1:$C$4</x:definedName>"
              "<x:definedName name=\"Итог\">'Лист 1'!$B$4,'Другой'!$B$4</x:definedName>"
              "</x:definedNames></x:workbook>");
    p.setPart(QStringLiteral("x/_rels/book.xml.rels"),
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
              "<Relationship Id=\"s\" Type=\"http://x/worksheet\" Target=\"sheets/one.xml\"/>"
              "<Relationship Id=\"t\" Type=\"http://x/sharedStrings\" Target=\"../x/strings.xml\"/>"
              "<Relationship Id=\"c\" Type=\"http://x/calcChain\" Target=\"calcChain.xml\"/></Relationships>");
    p.setPart(QStringLiteral("x/strings.xml"),
              "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>Итого</t></si>"
              "<si><r><t>Жир</t></r><r><t>ный</t></r><rPh><t>x</t></rPh></si></sst>");
    p.setPart(QStringLiteral("x/calcChain.xml"), "<calcChain/>");
    p.setPart(QStringLiteral("x/sheets/one.xml"),
              "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>"
              "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c><c t=\"inlineStr\"><is><t> пробел </t></is></c></row>"
              "<row r=\"4\"><c r=\"A4\" t=\"s\"><v>0</v></c><c r=\"B4\"><f>SUM(B1:B3)</f><v>6</v></c></row>"
              "</sheetData><mergeCells><mergeCell ref=\"A4:A5\"/></mergeCells>"
              "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"3\" max=\"16383\" man=\"1\"/></rowBreaks>"
              "</worksheet>");
    const QString path = dir.file(QStringLiteral("foreign.xlsx"));
    p.write(path);
    return path;
}

} // namespace

TEST(XlsxWorkbook, ShippedTemplatesAreTheirSourcesPacked)
{
    for (const char *name : {"tamrel", "tamrelError", "1", "2", "3", "4", "6", "7", "8", "9", "10"}) {
        const XlsxPackage packed = XlsxPackage::fromFolders({sources("common"), sources(name)});
        const XlsxPackage inShare = XlsxPackage::read(shipped(name) + QStringLiteral(".xlsx"));
        EXPECT_TRUE(packed.sameParts(inShare))
            << name << ".xlsx differs from its sources: cmake --build build --target update-sheet-templates";
    }
}

TEST(XlsxWorkbook, WrittenWorkbookReadsBackWithValuesFormatsAndLayout)
{
    const XlsxWorkbook book = XlsxWorkbook::open(shipped("tamrel.xlsx"));
    EXPECT_EQ(book.sheetName(), QStringLiteral("Декларация"));
    SheetLayout sheet = book.sheet();
    EXPECT_TRUE(sheet.page().landscape);
    EXPECT_EQ(sheet.page().fitToWidth, 1);
    EXPECT_EQ(sheet.page().firstRepeatRow, 27);
    EXPECT_EQ(sheet.page().lastRepeatRow, 31);

    const QString awkward = QStringLiteral("ООО \"Вино & <Водка>\" _x0041_ \x01конец");
    sheet.setText(32, 3, awkward);
    sheet.setText(32, 9, QStringLiteral("  отступ"));
    sheet.setNumber(32, 21, 1234.5);
    sheet.setCell(32, 5, SheetLayout::Value::ofDate(QDate(2011, 12, 31)));
    sheet.setFontColour(32, 32, 1, 33, kRed);
    for (int i = 0; i < 3; ++i)
        sheet.insertRow(33);
    sheet.setNumber(34, 21, -0.001);
    const TempDir dir;
    const QString out = dir.file(QStringLiteral("out.xlsx"));
    book.save(sheet, out);

    // Texts go to shared strings, for which the template gets a part of its own.
    EXPECT_TRUE(XlsxPackage::read(out).part(QStringLiteral("[Content_Types].xml")).contains("sharedStrings"));
    const XlsxWorkbook back = XlsxWorkbook::open(out);
    const SheetLayout &read = back.sheet();
    EXPECT_EQ(read.rowCount(), sheet.rowCount());
    EXPECT_EQ(read.textAt(32, 3), awkward);
    EXPECT_EQ(read.textAt(32, 9), QStringLiteral("  отступ"));
    EXPECT_EQ(read.value(32, 21), SheetLayout::Value::ofNumber(1234.5));
    EXPECT_EQ(read.value(34, 21), SheetLayout::Value::ofNumber(-0.001));
    EXPECT_EQ(read.value(32, 5), SheetLayout::Value::ofDate(QDate(2011, 12, 31)));
    // The colour is in the cell's style now, on a copy of the template's format.
    const CellFormat &coloured = read.format(read.formatIndexAt(32, 21));
    EXPECT_EQ(coloured.fontColour, kRed);
    EXPECT_EQ(coloured.numberFormat, QStringLiteral("0.000"));
    EXPECT_EQ(read.format(read.formatIndexAt(34, 21)).numberFormat, QStringLiteral("0.000"));
    // The template's rows under the data moved down with their texts, merges and heights.
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        EXPECT_EQ(read.merges(row), sheet.merges(row)) << row;
        EXPECT_EQ(read.height(row), sheet.height(row)) << row;
        EXPECT_EQ(read.hidden(row), sheet.hidden(row)) << row;
    }
    EXPECT_EQ(read.textAt(37, 2), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(read.page().firstRepeatRow, 27);
    EXPECT_EQ(read.columnWidth(9), sheet.columnWidth(9));
}

TEST(XlsxWorkbook, ForeignWorkbookKeepsItsStringsAndItsReferencesFollowTheRows)
{
    const TempDir dir;
    const XlsxWorkbook book = XlsxWorkbook::open(foreignWorkbook(dir));
    SheetLayout sheet = book.sheet();
    EXPECT_EQ(sheet.textAt(1, 1), QStringLiteral("Жирный"));
    EXPECT_EQ(sheet.textAt(1, 2), QStringLiteral(" пробел "));
    EXPECT_EQ(sheet.value(4, 2), SheetLayout::Value::ofNumber(6)); // a formula arrives as its value
    sheet.insertRow(2);
    sheet.insertRow(2);
    sheet.setText(2, 1, QStringLiteral("Итого"));
    const QString out = dir.file(QStringLiteral("out.xlsx"));
    book.save(sheet, out);

    const XlsxPackage written = XlsxPackage::read(out);
    EXPECT_FALSE(written.contains(QStringLiteral("x/calcChain.xml")));
    EXPECT_FALSE(written.part(QStringLiteral("[Content_Types].xml")).contains("calcChain"));
    EXPECT_FALSE(written.part(QStringLiteral("x/_rels/book.xml.rels")).contains("calcChain"));
    const QByteArray bookXml = written.part(QStringLiteral("x/book.xml"));
    EXPECT_TRUE(bookXml.contains("'Лист 1'!$A$1:$C$6")) << bookXml.constData();
    EXPECT_TRUE(bookXml.contains("'Лист 1'!$B$6,'Другой'!$B$4")) << bookXml.constData();
    const QByteArray sheetXml = written.part(QStringLiteral("x/sheets/one.xml"));
    EXPECT_TRUE(sheetXml.contains("<c r=\"A2\" t=\"s\"><v>0</v></c>")) << sheetXml.constData();
    EXPECT_TRUE(sheetXml.contains("<mergeCell ref=\"A6:A7\"/>"));
    EXPECT_TRUE(sheetXml.contains("<brk id=\"5\""));
    EXPECT_FALSE(sheetXml.contains("<f>"));

    const XlsxWorkbook back = XlsxWorkbook::open(out);
    EXPECT_EQ(back.sheet().textAt(2, 1), QStringLiteral("Итого"));
    EXPECT_EQ(back.sheet().textAt(6, 1), QStringLiteral("Итого"));
    EXPECT_EQ(back.sheet().textAt(3, 1), QString());
}

TEST(XlsxWorkbook, WhatIsNotAWorkbookIsRefusedNamingTheFile)
{
    const TempDir dir;
    const auto message = [](const QString &path) {
        try {
            XlsxWorkbook::open(path);
        } catch (const KalvorError &e) {
            return e.message();
        }
        return QString();
    };
    const QString text = dir.write(QStringLiteral("шаблон.xlsx"), "это не книга");
    EXPECT_TRUE(message(text).contains(QStringLiteral("шаблон.xlsx"))) << message(text).toStdString();
    EXPECT_TRUE(message(text).contains(QStringLiteral("не является книгой Excel")));

    XlsxPackage noBook;
    noBook.setPart(QStringLiteral("[Content_Types].xml"), "<Types/>");
    const QString empty = dir.file(QStringLiteral("пустая.xlsx"));
    noBook.write(empty);
    EXPECT_TRUE(message(empty).contains(QStringLiteral("нет описания книги"))) << message(empty).toStdString();
    EXPECT_TRUE(message(dir.file(QStringLiteral("нет.xlsx"))).contains(QStringLiteral("нет.xlsx")));
}
