#include "PrivateOffice.h"
#include "SheetWorkspace.h"

#include "app/IniFile.h"
#include "sheets/SheetFields.h"
#include "sheets/XlsxWorkbook.h"
#include "sheets/calc/CalcExport.h"
#include "sheets/calc/CalcSheetWriter.h"
#include "sheets/calc/TOOCalc.h"
#include "store/DeclarationGenerator.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "support/CliRunner.h"
#include "support/QtPrinters.h"

#include "KalvorBuildInfo.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::sheets::calc;
using namespace kalvor::test;

namespace {

QList<QByteArray> sampleDeclaration()
{
    return {
        invoiceRow(1, "ООО &quot;Поставщик, и сыновья&quot;"),
        positionRow(1, 1, 0,
                    "production_name=\"Водка\" production_code=\"1\" region_code=\"0\" volume=\"5.125\" "
                    "purches_price=\"150.50\" sum_coming=\"0.771\" rest=\"-2.000\""),
        positionRow(1, 1, 1, "production_name=\"Водка\" production_code=\"1\" other_charges=\"1.000\" rest=\"3.000\""),
        positionRow(1, 2, 0, "production_name=\"Коньяк\" production_code=\"3\" volume=\"0.500\" rest=\"0.500\""),
        positionRow(9, 1, 0, "production_name=\"Без накладной\" production_code=\"1\""),
        invoiceRow(2, "ИП Второй"),
        positionRow(2, 1, 0, "production_name=\"Вино\" production_code=\"7\" volume=\"10.000\" rest=\"10.000\"")};
}

void addCalcTemplate(const SheetWorkspace &ws)
{
    ASSERT_TRUE(CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/tamrel_oo.xls"),
                                  ws.dir.file(QStringLiteral("templates/tamrel_oo.xls"))));
}

} // namespace

// The shipped Calc template lays out the same rows and texts as the spreadsheet template it is made from.
TEST(CalcExport, TemplateAgreesWithTheSpreadsheetTemplate)
{
    PrivateOffice office;
    TOOCalc calc(office.connect(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/tamrel_oo.xls"));
    const SheetLayout fromOffice = readSheetLayout(calc);
    const SheetLayout xlsx =
        XlsxWorkbook::open(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/tamrel.xlsx")).sheet();
    ASSERT_EQ(fromOffice.rowCount(), xlsx.rowCount());
    for (int r = 1; r <= xlsx.rowCount(); ++r)
        for (int c = 1; c <= col::AG; ++c)
            EXPECT_EQ(fromOffice.textAt(r, c), xlsx.textAt(r, c)) << r << ',' << c;
}

// The whole export, stored by the office and read back cell by cell: the spreadsheet export's layout and
// texts, every value a text cell, the colour on AG only, B to E merged in the block rows with the
// character heights 8 and 7, and the row without its invoice reported for Calc.
TEST(CalcExport, SmallDeclarationReadBackCellByCell)
{
    const SheetWorkspace ws(sampleDeclaration());
    try {
        ws.plan(kCalcTemplate);
        ADD_FAILURE() << "no template, no export";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("tamrel_oo.xls"))) << e.message().toStdString();
    }
    addCalcTemplate(ws);
    const SheetLayout expected = ws.writtenDeclaration();
    PrivateOffice office;
    CalcTarget target;
    target.storeAs = ws.dir.file(QStringLiteral("calc.xlsx"));
    QStringList missing;
    const CalcExportResult result = exportDeclarationToCalc(ws.plan(kCalcTemplate), target, office.options,
                                                            [&](const QString &line) { missing.append(line); });
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(result.rowsRead, 7);
    ASSERT_EQ(missing.size(), 1);
    EXPECT_TRUE(missing.front().endsWith(QStringLiteral(". Позиция не вывелась в Calc.")))
        << missing.front().toStdString();

    const SheetLayout got = XlsxWorkbook::open(target.storeAs).sheet();
    ASSERT_EQ(got.rowCount(), expected.rowCount());
    for (int r = 1; r <= expected.rowCount(); ++r) {
        for (int c = 1; c <= col::AG; ++c) {
            EXPECT_EQ(got.textAt(r, c), expected.displayText(r, c)) << r << ',' << c;
            if (r >= kFirstDataRow && got.value(r, c).kind != SheetLayout::Kind::Empty) {
                EXPECT_EQ(got.value(r, c).kind, SheetLayout::Kind::Text) << r << ',' << c;
            }
        }
        const CellFormat &ag = got.format(got.formatIndexAt(r, col::AG));
        const CellFormat &i = got.format(got.formatIndexAt(r, col::I));
        if (expected.fontColourAt(r, col::AG) == kRed) {
            EXPECT_EQ(ag.fontColour, kRed) << r;
            EXPECT_NE(i.fontColour, kRed) << r;
        }
    }
    EXPECT_EQ(got.format(got.formatIndexAt(kFirstDataRow, col::AG)).fontColour, kRed);

    // The rows closing the first invoice are copies of the template's total rows: B to E merged, the
    // total in character height 8, the rest in 7. So are the per-kind rows added after the other blocks;
    // the template's own total rows (the last invoice's and the period's) keep the template's merges.
    const auto blockRow = [&](int r, double height) {
        ASSERT_EQ(got.merges(r).size(), 1u) << r;
        EXPECT_EQ(got.merges(r).front(), (SheetLayout::Merge{col::B, col::E, 1})) << r;
        EXPECT_EQ(got.format(got.formatIndexAt(r, col::B)).fontSize, height) << r;
    };
    ASSERT_EQ(got.textAt(35, col::B), QStringLiteral("Итого по накладной"));
    blockRow(35, 8);
    for (const int r : {36, 37, 38, 43, 48, 49, 50})
        blockRow(r, 7);
    EXPECT_EQ(got.textAt(43, col::B), QStringLiteral("Вино"));
    EXPECT_EQ(got.textAt(50, col::B), QStringLiteral("Вино"));
    for (const int r : {41, 42, 46, 47})
        EXPECT_EQ(got.merges(r), expected.merges(r)) << r;
}

// kalvor-cli on the demo month stores the document through the office (MS Excel 97 for .xls), keeps the
// period totals, and ends the office it started; a declaration too long for .xls is refused.
TEST(CalcExport, CommandLineStoresTheDemoMonth)
{
    const TempDir dir;
    const QString home = demoWorkspace(dir);
    PrivateOffice office;
    const QString out = dir.file(QStringLiteral("Выгрузка.xls"));
    const CliResult run =
        runCli({QStringLiteral("--home"), home, QStringLiteral("export-calc"), out}, {}, office.environment());
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Декларация за март 2012 выгружена через LibreOffice Calc в ")))
        << run.out.toStdString();
    const IniFile ini(home + QStringLiteral("/tamrel.ini"));
    EXPECT_FALSE(ini.readString(QStringLiteral("201203"), QStringLiteral("rest")).isEmpty());

    TOOCalc calc(office.connect(), out); // as a template: a copy of what was stored
    EXPECT_EQ(calc.GetCellFormula(9, col::Q).toString(), QStringLiteral("за март 2012 года"));
    // A text that reads as a number stays a text.
    EXPECT_TRUE(calc.GetCellFormula(4, col::H).toString().endsWith(QStringLiteral("7107012345")));
    EXPECT_EQ(calc.GetCellFormula(kFirstDataRow, col::B).toString(), QStringLiteral("'1"));
    calc.FreeDocument(true);

    EXPECT_EQ(runCli({QStringLiteral("--home"), home, QStringLiteral("export-calc")}, {}, office.environment()).status,
              2);

    // A sheet longer than MS Excel 97 holds is refused, not cut at row 65,536.
    DeclarationOptions big;
    big.rows = 45000;
    big.inn = "710701234500";
    DeclarationGenerator(big).saveFile(home + QStringLiteral("/reports/201203/710701234500120300.xml"));
    const QString tooLong = dir.file(QStringLiteral("Большая.xls"));
    const CliResult refused =
        runCli({QStringLiteral("--home"), home, QStringLiteral("export-calc"), tooLong}, {}, office.environment());
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("не помещается в файл")) &&
                refused.err.contains(QStringLiteral("Большая.xls")) && refused.err.contains(QStringLiteral("65536")))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(tooLong));
}
