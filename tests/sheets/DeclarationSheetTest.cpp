#include "SheetWorkspace.h"
#include "sheets/SheetFields.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::test;

namespace {

const QByteArray kVodka = "production_name=\"Водка &quot;Тула&quot;\" production_number=\"01.2012\" "
                          "production_code=\"1\" producer_name=\"Тульский завод\" region_code=\"0\" "
                          "department_code=\"710701234501\" alcohol=\"40.00\" package_volume=\"0.500\" "
                          "package_count=\"10\" volume=\"5.000\" purches_price=\"150.50\" sum_coming=\"1.505\" "
                          "rest_volume=\"1.000\" volume_charges=\"3.000\" sum_charges=\"1.200\" rest=\"2.000\"";

Rgb fontColour(const SheetLayout &s, int row, int column)
{
    return s.format(s.formatIndexAt(row, column)).fontColour;
}

double number(const SheetLayout &s, int row, int column)
{
    const SheetLayout::Value v = s.value(row, column);
    EXPECT_EQ(v.kind, SheetLayout::Kind::Number) << "row " << row << " column " << column;
    return v.number;
}

} // namespace

// Invoice 1 with two positions and a transfer, a position of a missing invoice 2, invoice 3 without
// positions followed by invoice 4, and invoice 5 without positions as the table's last row.
TEST(DeclarationSheet, SmallDeclarationIsLaidOutCellByCell)
{
    const SheetWorkspace ws({
        invoiceRow(1, "ООО Поставщик", "department_code=\"710701234501\""),
        positionRow(1, 1, 0, kVodka),
        positionRow(
            1, 1, 1,
            "production_name=\"Водка\" production_code=\"1\" region_code=\"0\" department_code=\"710701234502\" "
            "other_coming=\"1.000\" department_code_inner=\"710701234501\" rest=\"-1.000\""),
        positionRow(1, 2, 0,
                    "production_name=\"Коньяк\" production_code=\"3\" region_code=\"50\" volume=\"1.000\" "
                    "return_volume=\"0.250\" rest=\"-0.500\""),
        positionRow(2, 1, 0, "production_name=\"Потерянная\" production_code=\"1\" volume=\"9.000\""),
        invoiceRow(3, "ЗАО Третий"),
        invoiceRow(4, "ИП Четвертый"),
        positionRow(4, 1, 0, "production_name=\"Коньяк\" production_code=\"3\" volume=\"2.000\" rest=\"0.500\""),
        invoiceRow(5, "ООО Пятый", "department_code=\"710701234502\""),
    });
    QStringList missing;
    const SheetLayout s = ws.writtenDeclaration(&missing);

    // The head.
    EXPECT_EQ(s.textAt(3, col::H), QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(s.textAt(4, col::H), QStringLiteral("7107012345"));
    EXPECT_EQ(s.textAt(5, col::H), QStringLiteral("г. Тула"));
    EXPECT_EQ(number(s, 7, col::H), 1);
    EXPECT_EQ(s.textAt(9, col::H), QStringLiteral("А"));
    EXPECT_EQ(s.textAt(9, col::I), QStringLiteral("123"));
    EXPECT_EQ(s.value(9, col::J).date, QDate(2010, 1, 1));
    EXPECT_EQ(s.value(9, col::L).date, QDate(2012, 12, 31));
    EXPECT_EQ(s.textAt(9, col::Q), QStringLiteral("за март 2012 года"));

    // Invoice 1 shares its row with its first position; the position writes I to AG over the invoice's.
    EXPECT_EQ(number(s, 32, col::B), 1);
    EXPECT_EQ(s.textAt(32, col::C), QStringLiteral("ООО Поставщик"));
    EXPECT_EQ(s.value(32, col::E).date, QDate(2011, 12, 31));
    EXPECT_EQ(s.textAt(32, col::F), QStringLiteral("001")); // a waybill number stays text
    EXPECT_EQ(s.textAt(32, col::I), QStringLiteral("Водка \"Тула\""));
    EXPECT_EQ(s.textAt(32, col::J), QStringLiteral("01.2012"));
    EXPECT_EQ(number(s, 32, col::K), 1);
    EXPECT_EQ(s.textAt(32, col::M), QStringLiteral("ИИИ"));
    EXPECT_EQ(number(s, 32, col::U), 5);
    EXPECT_EQ(s.format(s.formatIndexAt(32, col::U)).numberFormat, QStringLiteral("0.000"));
    EXPECT_EQ(fontColour(s, 32, col::C), kBlack);
    // The transfer: region as stored, 0 for its empty charge fields, red for its negative remains.
    EXPECT_EQ(number(s, 33, col::M), 0);
    EXPECT_EQ(number(s, 33, col::AE), 0);
    EXPECT_EQ(number(s, 33, col::AF), 0);
    EXPECT_EQ(s.textAt(33, col::Q), QStringLiteral("710701234501"));
    EXPECT_TRUE(s.textAt(33, col::C).isEmpty());
    EXPECT_EQ(fontColour(s, 33, col::I), kRed);
    EXPECT_EQ(fontColour(s, 34, col::AG), kRed);
    EXPECT_EQ(number(s, 34, col::M), 50);

    // Invoice 1's total, the row under it and its kinds by their own codes' names.
    EXPECT_EQ(s.textAt(35, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(number(s, 35, col::U), 6);
    EXPECT_EQ(number(s, 35, col::O), 0.25);
    EXPECT_EQ(number(s, 35, col::AG), 0.5);
    EXPECT_EQ(number(s, 35, col::W), 1.505);
    EXPECT_EQ(s.textAt(36, col::B), QStringLiteral("в том числе по видам продукции:"));
    EXPECT_EQ(s.textAt(37, col::B), QStringLiteral("Водка"));
    EXPECT_EQ(number(s, 37, col::K), 1);
    EXPECT_EQ(number(s, 37, col::AG), 1);
    EXPECT_EQ(s.textAt(38, col::B), QStringLiteral("Коньяк")); // code 3 is the second entry of the book
    EXPECT_EQ(number(s, 38, col::U), 1);
    EXPECT_EQ(s.merges(38), s.merges(36));

    // Invoice 3 without positions keeps its row; its zero total follows it, and invoice 4 comes after.
    EXPECT_EQ(number(s, 39, col::B), 2);
    EXPECT_EQ(s.textAt(39, col::C), QStringLiteral("ЗАО Третий"));
    EXPECT_EQ(s.textAt(40, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(number(s, 40, col::U), 0);
    EXPECT_EQ(number(s, 42, col::B), 3);
    EXPECT_EQ(s.textAt(42, col::C), QStringLiteral("ИП Четвертый"));
    EXPECT_EQ(s.textAt(42, col::I), QStringLiteral("Коньяк"));
    EXPECT_EQ(number(s, 43, col::U), 2);
    EXPECT_EQ(s.textAt(45, col::B), QStringLiteral("Коньяк"));

    // The last invoice without positions keeps its own texts in I to AG.
    EXPECT_EQ(number(s, 46, col::B), 4);
    EXPECT_EQ(s.textAt(46, col::N), QStringLiteral("710701234502"));
    EXPECT_EQ(s.textAt(47, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(number(s, 47, col::U), 0);

    // The period: total of all invoices, its kinds (each once, summed over the invoices), "Х", the leader.
    EXPECT_EQ(s.textAt(51, col::B), QStringLiteral("Итого за отчетный период"));
    EXPECT_EQ(number(s, 51, col::U), 8);
    EXPECT_EQ(number(s, 51, col::AG), 1);
    EXPECT_EQ(s.textAt(53, col::B), QStringLiteral("Водка"));
    EXPECT_EQ(s.textAt(54, col::B), QStringLiteral("Коньяк"));
    EXPECT_EQ(number(s, 54, col::U), 3);
    for (const int column : {col::U, col::W, col::Z, col::AB})
        EXPECT_EQ(s.textAt(55, column), QStringLiteral("Х"));
    EXPECT_EQ(s.textAt(58, col::F), QStringLiteral("Иванов И. И."));
    EXPECT_EQ(s.textAt(59, col::F), QStringLiteral("(фамилия, имя, отчество)"));

    ASSERT_EQ(missing.size(), 1);
    EXPECT_EQ(missing[0], QStringLiteral("Отсутствует накладная №Н-2 с кодом №000002. dkey=") +
                              QString::fromLatin1(declarationKey(2, 1)) +
                              QStringLiteral(". Позиция не вывелась в Excel."));
    const QStringList log = textFileLines(ws.dir.file(QStringLiteral("error.log")));
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[1], missing[0]);
}

TEST(DeclarationSheet, EmptyAndSmallestDeclarationsEndWithTheirTotals)
{
    const SheetWorkspace empty({});
    const SheetLayout e = empty.writtenDeclaration();
    EXPECT_EQ(e.textAt(9, col::Q), QStringLiteral("за март 2012 года"));
    EXPECT_EQ(e.textAt(33, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(number(e, 33, col::U), 0);
    EXPECT_EQ(e.textAt(37, col::B), QStringLiteral("Итого за отчетный период"));
    EXPECT_EQ(number(e, 37, col::AG), 0);
    EXPECT_EQ(e.textAt(39, col::U), QStringLiteral("Х"));
    EXPECT_EQ(e.textAt(42, col::F), QStringLiteral("Иванов И. И."));

    // The last row a position: the total follows it at once, with no blank row between.
    const SheetWorkspace one({invoiceRow(1, "ООО Поставщик"), positionRow(1, 1, 0, kVodka)});
    const SheetLayout o = one.writtenDeclaration();
    EXPECT_EQ(o.textAt(32, col::I), QStringLiteral("Водка \"Тула\""));
    EXPECT_EQ(o.textAt(33, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(o.textAt(35, col::B), QStringLiteral("Водка"));
}

TEST(DeclarationSheet, CancelStopsAfterTheCurrentRowWithoutTotals)
{
    const SheetWorkspace ws({invoiceRow(1, "ООО Поставщик"), positionRow(1, 1, 0, kVodka), positionRow(1, 2, 0, kVodka),
                             positionRow(1, 3, 0, kVodka)});
    const SheetExportPlan plan = ws.plan(kDeclarationTemplate);
    const XlsxWorkbook book = XlsxWorkbook::open(plan.templateFile);
    qint64 done = 0;
    Progress progress;
    progress.advanced = [&done](qint64 d) { done = d; };
    progress.cancelled = [&done] { return done >= 2; };
    const DeclarationSheet d = exportDeclaration(plan, book, {}, progress);
    EXPECT_FALSE(d.complete);
    EXPECT_EQ(d.rowsRead, 2);
    EXPECT_EQ(d.sheet.textAt(32, col::I), QStringLiteral("Водка \"Тула\""));
    EXPECT_TRUE(d.sheet.cells(33).empty());
    EXPECT_EQ(d.sheet.textAt(35, col::B), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(d.sheet.value(35, col::U).kind, SheetLayout::Kind::Empty);
    EXPECT_EQ(d.periodTotal, TRemains());
}
