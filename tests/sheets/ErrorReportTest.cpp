#include "SheetWorkspace.h"
#include "sheets/SheetFields.h"
#include "store/Table.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::test;

namespace {

ErrorReportOptions onlyChecks(bool rest, bool empty, bool ttnDate, bool kind, bool vodka, bool cognac)
{
    ErrorReportOptions o;
    o.rest = rest;
    o.empty = empty;
    o.ttnDate = ttnDate;
    o.productionCode = kind;
    o.vodka = vodka;
    o.cognac = cognac;
    o.year = 2012;
    o.month = 3;
    return o;
}

ErrorReport report(const SheetWorkspace &ws, const ErrorReportOptions &options)
{
    const SheetExportPlan plan = ws.plan(kErrorReportTemplate);
    return exportErrorReport(plan, XlsxWorkbook::open(plan.templateFile), options);
}

QByteArray half(const QByteArray &code, const QByteArray &price, const QByteArray &count = "10")
{
    return "production_name=\"Бутылка " + price + "\" production_code=\"" + code +
           "\" package_volume=\"0.500\" purches_price=\"" + price + "\" package_count=\"" + count + "\"";
}

} // namespace

TEST(ErrorReport, PriceAndKindChecksListTheirRowsInTheirColours)
{
    const SheetWorkspace ws({invoiceRow(1, "ООО Поставщик"), positionRow(1, 1, 0, half("1", "80.00")),
                             positionRow(1, 2, 0, half("1", "90.00")), positionRow(1, 3, 0, half("1", "0.00", "0")),
                             positionRow(1, 4, 0, half("3", "150.00")), positionRow(1, 5, 0, half("9", "500.00"))});
    ErrorReportOptions vodka = onlyChecks(false, false, false, false, true, false);
    vodka.vodkaThreshold = 85.5;
    const ErrorReport v = report(ws, vodka);
    EXPECT_EQ(v.listed, 1);
    const SheetLayout &s = v.sheet;
    EXPECT_EQ(s.textAt(9, col::Q), QStringLiteral("за март 2012 года"));
    EXPECT_EQ(s.textAt(3, col::H), QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(s.value(32, col::A), SheetLayout::Value::ofNumber(1));
    EXPECT_EQ(s.value(32, col::B), SheetLayout::Value::ofNumber(1));
    EXPECT_EQ(s.textAt(32, col::C), QStringLiteral("ООО Поставщик"));
    EXPECT_EQ(s.textAt(32, col::I), QStringLiteral("Бутылка 80.00"));
    EXPECT_EQ(s.textAt(32, col::M), QStringLiteral("ИИИ"));
    EXPECT_EQ(s.fontColourAt(32, col::AG), kErrorRed);
    EXPECT_TRUE(s.cells(33).empty());
    EXPECT_EQ(s.textAt(34, col::C), QStringLiteral("Всего - 1. Возможны и другие ошибки в отчете"));

    const ErrorReport c = report(ws, onlyChecks(false, false, false, false, false, true));
    EXPECT_EQ(c.listed, 1);
    EXPECT_EQ(c.sheet.textAt(32, col::I), QStringLiteral("Бутылка 150.00"));

    const ErrorReport k = report(ws, onlyChecks(false, false, false, true, false, false));
    // The invoice row fails the kind check too, but rows without a product name are never listed.
    EXPECT_EQ(k.listed, 1);
    EXPECT_EQ(k.sheet.textAt(32, col::I), QStringLiteral("Бутылка 500.00"));
    EXPECT_EQ(k.sheet.fontColourAt(32, col::A), kErrorOlive);

    const ErrorReport none = report(ws, onlyChecks(false, false, false, false, false, false));
    EXPECT_EQ(none.listed, 0);
    EXPECT_EQ(none.sheet.textAt(33, col::C), QStringLiteral("Всего - 0. Возможны и другие ошибки в отчете"));
}

TEST(ErrorReport, WaybillDatesAreComparedWithTheMonthReported)
{
    const QByteArray complete = "region_code=\"71\" department_code=\"1\" return_volume=\"0\" package_volume=\"1\" "
                                "package_count=\"1\" volume=\"1\" purches_price=\"1\" sum_coming=\"1\" "
                                "rest_volume=\"0\" package_count_charges=\"0\" volume_charges=\"0\" "
                                "return_volume_charges=\"0\" writeoff_volume_charges=\"0\" production_code=\"1\"";
    const SheetWorkspace ws(
        {invoiceRow(1, "ООО Апрель", {}, "20120402"),
         positionRow(1, 1, 0, "production_name=\"Поздняя\" ttn_date=\"20120402\" rest=\"1\" " + complete),
         positionRow(1, 2, 0, "production_name=\"Минус\" ttn_date=\"20120402\" rest=\"-2\" " + complete)});
    ErrorReportOptions march = onlyChecks(true, true, true, true, true, true);
    const ErrorReport r = report(ws, march);
    ASSERT_EQ(r.listed, 2);
    EXPECT_EQ(r.sheet.fontColourAt(32, col::I), kErrorBlue);
    EXPECT_EQ(r.sheet.fontColourAt(33, col::I), kErrorRed); // negative remains outrank the late date
    EXPECT_EQ(r.sheet.textAt(32, col::C), QStringLiteral("ООО Апрель"));

    // Reported for April the same dates are in time; only the remains are wrong.
    ErrorReportOptions april = march;
    april.month = 4;
    const ErrorReport a = report(ws, april);
    ASSERT_EQ(a.listed, 1);
    EXPECT_EQ(a.sheet.textAt(32, col::I), QStringLiteral("Минус"));

    // One slot belongs to the table's first row, the invoice: nothing is listed.
    ErrorReportOptions one = march;
    one.maxRecords = 1;
    EXPECT_EQ(report(ws, one).listed, 0);
    EXPECT_EQ(report(ws, one).sheet.textAt(33, col::C), QStringLiteral("Всего - 0. Возможны и другие ошибки в отчете"));
}

TEST(ErrorReport, TheInvoiceListGrowsBeyondTheNumberOfSlots)
{
    QList<QByteArray> rows;
    for (int i = 1; i <= 150; ++i) {
        rows.append(invoiceRow(i, "Поставщик " + QByteArray::number(i)));
        rows.append(positionRow(i, 1, 0, i == 150 ? half("1", "10.00") : half("1", "100.00")));
    }
    const SheetWorkspace ws(rows);
    ErrorReportOptions vodka = onlyChecks(false, false, false, false, true, false);
    vodka.maxRecords = 3;
    const ErrorReport r = report(ws, vodka);
    ASSERT_EQ(r.listed, 1);
    EXPECT_EQ(r.sheet.value(32, col::A), SheetLayout::Value::ofNumber(150));
    EXPECT_EQ(r.sheet.textAt(32, col::C), QStringLiteral("Поставщик 150"));
}

TEST(ErrorReport, RowColourFollowsTheOrderOfTheChecks)
{
    const SheetWorkspace ws({positionRow(1, 1, 0, "production_code=\"9\" rest=\"-0.4\" ttn_date=\"20120301\""),
                             positionRow(1, 1, 1, "production_code=\"9\" rest=\"-0.5\""),
                             positionRow(1, 1, 2, "production_code=\"9\" rest=\"-0.6\"")});
    Table table(ws.settings.FDeclarationFileName);
    table.open();
    const ErrorReportOptions all = onlyChecks(true, true, true, true, true, true);
    // Remains round half to even: -0.4 and -0.5 count as 0, -0.6 as -1.
    EXPECT_EQ(errorColour(table.row(0), all), kErrorFuchsia);
    // The first transfer of a position is spared the empty-field check: its kind code decides.
    EXPECT_EQ(errorColour(table.row(1), all), kErrorOlive);
    EXPECT_EQ(errorColour(table.row(2), all), kErrorRed);
    ErrorReportOptions noEmpty = all;
    noEmpty.empty = false;
    EXPECT_EQ(errorColour(table.row(0), noEmpty), kErrorOlive);
    EXPECT_FALSE(errorColour(table.row(0), onlyChecks(false, false, true, false, false, false)));
}
