#include "ReportFiles.h"
#include "app/TAppSettings.h"
#include "reports/ObjectsReport.h"
#include "reports/ReportWorkbooks.h"
#include "sheets/XlsxWorkbook.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DatabaseWorkspace.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::reports;
using namespace kalvor::test;
using sheets::SheetLayout;

namespace {

const ReportSpan kMarchApril{2012, 3, 2012, 4};

// The workspace's templates are the shipped ones.
void installTemplates(const DatabaseWorkspace &ws)
{
    QDir().mkpath(ws.dir.file(QStringLiteral("templates")));
    for (const QString &name : QDir(DatabaseWorkspace::shareDir() + QStringLiteral("/templates"))
                                   .entryList({QStringLiteral("*.xlsx")}, QDir::Files))
        QFile::copy(DatabaseWorkspace::shareDir() + QStringLiteral("/templates/") + name,
                    ws.dir.file(QStringLiteral("templates/") + name));
}

// Writes a report and reads the workbook back.
SheetLayout written(const DatabaseWorkspace &ws, const char *name, const ReportSpan &span, const QString &inn = {},
                    QString *notice = nullptr)
{
    const RegulatorReport *report = findRegulatorReport(QString::fromLatin1(name));
    EXPECT_NE(report, nullptr) << name;
    const WrittenReport out = writeRegulatorReport(ws.curDir(), DatabaseWorkspace::shareDir(), *report, span, inn);
    EXPECT_FALSE(out.noData) << name;
    EXPECT_EQ(out.fileName, ws.dir.file(QStringLiteral("temp/") + report->templateName()));
    if (notice)
        *notice = out.notice;
    return sheets::XlsxWorkbook::open(out.fileName).sheet();
}

// Columns first..last of a row, "|"-joined as the cells show them (texts as stored).
QString rowText(const SheetLayout &sheet, int row, int first, int last)
{
    QStringList cells;
    for (int c = first; c <= last; ++c)
        cells.append(sheet.textAt(row, c));
    return cells.join(u'|');
}

// A cell's font colour as a written workbook gives it back: in the cell's format.
sheets::Rgb fontColour(const SheetLayout &sheet, int row, int column)
{
    return sheet.fontColourAt(row, column).value_or(sheet.format(sheet.formatIndexAt(row, column)).fontColour);
}

class RegulatorReports : public ::testing::TestWithParam<TestProvider> {};

} // namespace

TEST(ReportSpan, MonthsBecomeYymmAndTheHeaderKeepsTheNamesAsListed)
{
    const ReportSpan span{2012, 3, 2012, 5};
    EXPECT_EQ(span.start(), 1203);
    EXPECT_EQ(span.end(), 1205);
    EXPECT_EQ(span.headerText(), QStringLiteral("Отчет составлен за период с март 2012 г. по май 2012 г."));
    const ReportSpan parsed = ReportSpan::fromPeriods(QStringLiteral("201203"), QStringLiteral("201205"));
    EXPECT_EQ(parsed.start(), 1203);
    EXPECT_EQ(parsed.end(), 1205);
    for (const char *bad : {"2012", "201213", "201200", "2012ab", "1999012"})
        EXPECT_THROW(ReportSpan::fromPeriods(QString::fromLatin1(bad), QStringLiteral("201203")), KalvorError) << bad;
}

// Every family report and the control report on the known data set, cell by cell in the written
// workbook: header, both parts, the rows the inserted lines moved, the totals as numbers.
TEST_P(RegulatorReports, FillTheirTemplatesFromTheDatabase)
{
    DatabaseWorkspace ws(GetParam());
    loadKnownData(ws);
    installTemplates(ws);

    const SheetLayout suppliers = written(ws, "suppliers", kMarchApril);
    EXPECT_EQ(suppliers.textAt(4, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по апрель 2012 г."));
    EXPECT_EQ(rowText(suppliers, 8, 2, 4), QStringLiteral("Возвраты|0.000|0.000"));
    EXPECT_EQ(rowText(suppliers, 11, 2, 4), QStringLiteral("ООО Поставщик|7.250|4.583"));
    EXPECT_EQ(rowText(suppliers, 12, 2, 4), QStringLiteral("||"));
    EXPECT_EQ(suppliers.textAt(13, 2), QStringLiteral("Код вида продукции")); // the second part's headings
    EXPECT_EQ(rowText(suppliers, 14, 2, 4), QStringLiteral("1|16.800|3.555"));
    EXPECT_EQ(rowText(suppliers, 16, 2, 4), QStringLiteral("5|0.000|0.000"));
    EXPECT_EQ(suppliers.value(8, 3).kind, SheetLayout::Kind::Text);
    EXPECT_EQ(suppliers.textAt(19, 2), QStringLiteral("Итого по поставщикам"));
    EXPECT_EQ(suppliers.value(19, 3).kind, SheetLayout::Kind::Number);
    EXPECT_NEAR(suppliers.value(19, 3).number, 19.05, 1e-9);
    EXPECT_NEAR(suppliers.value(19, 4).number, 6.888, 1e-9);

    const SheetLayout regions = written(ws, "regions", kMarchApril);
    EXPECT_EQ(rowText(regions, 8, 2, 4), QStringLiteral("50|10.000|2.000"));
    EXPECT_EQ(rowText(regions, 10, 2, 4), QStringLiteral("|2.250|3.333")); // the NULL region: an empty name
    EXPECT_EQ(rowText(regions, 13, 2, 4), QStringLiteral("1|16.800|3.555"));
    EXPECT_EQ(rowText(regions, 14, 2, 4), QStringLiteral("5|0.000|0.000"));
    EXPECT_EQ(regions.value(17, 3).kind, SheetLayout::Kind::Empty); // no totals

    const SheetLayout litres = written(ws, "suppliers-litr", kMarchApril);
    EXPECT_EQ(rowText(litres, 9, 2, 4), QStringLiteral("71|0.680|1.555"));
    EXPECT_EQ(rowText(litres, 13, 2, 4), QStringLiteral("1|1.680|3.555"));
    const SheetLayout raion = written(ws, "raion", kMarchApril);
    EXPECT_EQ(rowText(raion, 8, 2, 4), QStringLiteral("Алексин|0.500|0.060"));
    EXPECT_EQ(rowText(raion, 14, 2, 4), QStringLiteral("1|1.680|3.555"));
    const SheetLayout proizv = written(ws, "proizv", kMarchApril);
    EXPECT_EQ(rowText(proizv, 9, 2, 4), QStringLiteral("Завод А|5.800|0.530"));
    // The cheap vodka report shows the same procedure twice.
    const SheetLayout vodka = written(ws, "vodka52", kMarchApril);
    EXPECT_EQ(rowText(vodka, 9, 2, 4), QStringLiteral("Водка Тест|4.000|0.400"));
    EXPECT_EQ(rowText(vodka, 12, 2, 4), QStringLiteral("Водка Б|10.000|1.000"));
    EXPECT_EQ(rowText(vodka, 13, 2, 4), QStringLiteral("Водка Тест|4.000|0.400"));

    // Imports of three kinds from March to May: rows 10-12, the totals in row 8 and in row 15.
    uploadReport(ws, QStringLiteral("771234567890120500"),
                 {rowOf(QStringLiteral("771234567890120500"), 1, 0, 0, "supply_name=\"Импортер\""),
                  rowOf(QStringLiteral("771234567890120500"), 1, 1, 0,
                        "production_code=\"2\" volume=\"1.000\" sum_coming=\"0.100\""),
                  rowOf(QStringLiteral("771234567890120500"), 1, 2, 0,
                        "production_code=\"3\" volume=\"0.750\" sum_coming=\"1.000\""),
                  rowOf(QStringLiteral("771234567890120500"), 1, 3, 0,
                        "production_code=\"4\" region_code=\"0\" volume=\"2.000\" sum_coming=\"0.500\"")});
    const SheetLayout imports = written(ws, "import", {2012, 3, 2012, 5});
    EXPECT_EQ(imports.textAt(4, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по май 2012 г."));
    EXPECT_EQ(imports.textAt(8, 2), QStringLiteral("ИИИ,"));
    EXPECT_EQ(imports.value(8, 3), SheetLayout::Value::ofNumber(6));
    EXPECT_NEAR(imports.value(8, 4).number, 4.933, 1e-9);
    EXPECT_EQ(rowText(imports, 10, 2, 4), QStringLiteral("2|1.000|0.100"));
    EXPECT_EQ(rowText(imports, 11, 2, 4), QStringLiteral("3|3.000|4.333"));
    EXPECT_EQ(rowText(imports, 12, 2, 4), QStringLiteral("4|2.000|0.500"));
    EXPECT_EQ(imports.textAt(15, 2), QStringLiteral("Итого"));
    EXPECT_EQ(imports.value(15, 3), SheetLayout::Value::ofNumber(6));
    EXPECT_NEAR(imports.value(15, 4).number, 4.933, 1e-9);

    // The control report of a filer typed with 10 digits: its rows from row 11, the totals row three rows
    // under them, the sums by kind two rows further, the last empty row removed.
    QString notice;
    const SheetLayout control = written(ws, "control", {2012, 3, 2012, 3}, QStringLiteral("7107012345"), &notice);
    EXPECT_TRUE(notice.isEmpty());
    EXPECT_EQ(control.textAt(4, 1), QStringLiteral("Наименование объекта декларирования:   ООО Ромашка, г. Тула"));
    EXPECT_EQ(control.textAt(5, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по март 2012 г."));
    EXPECT_EQ(rowText(control, 11, 2, 16),
              QStringLiteral("Т-1|05.03.2012|1|Водка Тест|Завод А||0.500|10|5.000|2.000|8|0.100|0.200|1.000|1.700"));
    EXPECT_EQ(rowText(control, 12, 2, 16), QStringLiteral("||1|Водка Тест|Завод А||0.500||1.000||||||0.500"));
    EXPECT_FALSE(control.textAt(18, 4).isEmpty());
    EXPECT_EQ(rowText(control, 19, 1, 16), QString(15, u'|'));
    EXPECT_EQ(control.textAt(22, 1), QStringLiteral("Итого"));
    const double totals[] = {10, 10.05, 2, 8, 0.1, 0.2, 1, 3.7};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(control.value(22, 9 + i).number, totals[i], 1e-9) << i;
    EXPECT_EQ(control.value(22, 9).kind, SheetLayout::Kind::Number);
    EXPECT_EQ(rowText(control, 24, 9, 16), QStringLiteral("10|7.800|2.000|8|0.100|0.200|1.000|2.200"));
    EXPECT_EQ(control.textAt(24, 1), QStringLiteral("1"));
    EXPECT_EQ(control.textAt(26, 1), QStringLiteral("5"));
    EXPECT_EQ(control.rowCount(), 26); // the empty row under the sums is gone

    // A filer whose requisites are missing from the database: the workbook with the message quoting the
    // INN as typed.
    ws.rows(QStringLiteral("DELETE FROM kalvor"));
    written(ws, "control", {2012, 3, 2012, 3}, QStringLiteral("7107012345"), &notice);
    EXPECT_EQ(notice, QStringLiteral("Информация о калворе с ИНН: 7107012345, не обнаружена"));
}

// No rows: nothing written; a database that cannot answer: one message with its reason on a second line.
TEST_P(RegulatorReports, ReportNoDataAndFailuresWithoutAWorkbook)
{
    DatabaseWorkspace ws(GetParam());
    loadKnownData(ws);
    installTemplates(ws);
    for (const RegulatorReport &report : regulatorReports()) {
        const WrittenReport out = writeRegulatorReport(ws.curDir(), DatabaseWorkspace::shareDir(), report,
                                                       {2013, 1, 2013, 2}, QStringLiteral("7107012345"));
        EXPECT_TRUE(out.noData) << report.name.toStdString();
        EXPECT_TRUE(out.fileName.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(ws.dir.file(QStringLiteral("temp/2.xlsx"))));

    QFile::remove(ws.dir.file(QStringLiteral("db.udl")));
    try {
        writeRegulatorReport(ws.curDir(), DatabaseWorkspace::shareDir(), regulatorReports()[1], kMarchApril, {});
        ADD_FAILURE() << "no error";
    } catch (const KalvorError &e) {
        const QStringList lines = e.message().split(u'\n');
        ASSERT_EQ(lines.size(), 2) << e.message().toStdString();
        EXPECT_EQ(lines[0], QStringLiteral("Ошибка выполнения запроса"));
        EXPECT_TRUE(lines[1].contains(QStringLiteral("db.udl"))) << lines[1].toStdString();
    }
}

// The completeness report: registered objects counted against the declaration's subdivision codes,
// unmatched codes added, red lines where a registered object has no rows.
TEST_P(RegulatorReports, ObjectsReportCountsTheDeclarationAgainstTheRegisteredObjects)
{
    DatabaseWorkspace ws(GetParam());
    loadKnownData(ws);
    installTemplates(ws);
    const QString stem = QStringLiteral("710701234500120300");
    QList<QByteArray> rows;
    for (int p = 0; p < 5; ++p)
        rows.append(rowOf(stem, 1, p, 0, "department_code=\"1\""));
    for (int p = 0; p < 4; ++p)
        rows.append(rowOf(stem, 2, p, 0, "department_code=\"7\""));
    rows.append(
        rowOf(stem, 3, 0, 0, "department_code=\"3\" department_code_inner=\"3\" department_code_inner_charges=\"5\""));
    rows.append(rowOf(stem, 3, 1, 0, "department_code=\"3\""));
    rows.append(rowOf(stem, 4, 0, 0));
    rows.append(rowOf(stem, 4, 1, 0));
    const QString folder = ws.dir.file(QStringLiteral("reports/201203"));
    writeReport(folder, stem, rows);

    TAppSettings settings;
    settings.FcurDir = ws.curDir();
    settings.FDeclarationFileName = QDir(folder).filePath(stem + QStringLiteral(".xml"));
    settings.Fkalvor.FINN = stem.left(12);
    const WrittenReport out = writeObjectsReport(settings, DatabaseWorkspace::shareDir(), kMarchApril);
    ASSERT_FALSE(out.noData);
    const SheetLayout sheet = sheets::XlsxWorkbook::open(out.fileName).sheet();
    EXPECT_EQ(out.fileName, ws.dir.file(QStringLiteral("temp/10.xlsx")));
    EXPECT_EQ(sheet.textAt(3, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по апрель 2012 г."));
    const QStringList expected = {
        QStringLiteral("1|7107012345|1|01.01.2010|Тула|0||5"),
        QStringLiteral("2|7107012345|2|15.03.2012|Алексин|0||0"),
        QStringLiteral("3|7107012345|6||Тула|1 (10.04.2012)||0"),
        QStringLiteral("4|") + QString::fromLatin1(keyOf(stem, 2)) + QStringLiteral("|7|||-1 ()||4"),
        QStringLiteral("5|") + QString::fromLatin1(keyOf(stem, 3)) + QStringLiteral("|3 (3->5)|||-1 ()||1"),
        QStringLiteral("6|") + QString::fromLatin1(keyOf(stem, 3, 1)) + QStringLiteral("|3|||-1 ()||1"),
        QStringLiteral("7|") + QString::fromLatin1(keyOf(stem, 4)) + QStringLiteral("||||-1 ()||1"),
        QStringLiteral("8|") + QString::fromLatin1(keyOf(stem, 4, 1)) + QStringLiteral("||||-1 ()||1"),
    };
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rowText(sheet, 8 + i, 1, 8), expected[i]) << i;
        const sheets::Rgb colour = i == 1 || i == 2 ? sheets::kRed : sheets::kBlack;
        EXPECT_EQ(fontColour(sheet, 8 + i, 2), colour) << i;
        EXPECT_EQ(fontColour(sheet, 8 + i, 8), colour) << i;
    }
    EXPECT_EQ(sheet.value(8, 8), SheetLayout::Value::ofNumber(5));
    EXPECT_EQ(fontColour(sheet, 9, 1), sheets::kBlack); // the running number keeps its own colour

    // A filer without registered objects.
    settings.Fkalvor.FINN = QStringLiteral("123456789012");
    EXPECT_TRUE(writeObjectsReport(settings, DatabaseWorkspace::shareDir(), kMarchApril).noData);
}

INSTANTIATE_TEST_SUITE_P(Both, RegulatorReports, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return providerName(info.param); });

// Statuses and the growing list, without a database.
TEST(ObjectsReport, StatusTextsAndAListBeyondThreeHundredEntries)
{
    ObjectEntry entry;
    entry.suspended = QStringLiteral("10.04.2012");
    const std::pair<const char *, const char *> statuses[] = {
        {"0", "0"}, {"1", "1 (10.04.2012)"}, {"-1", "-1 (10.04.2012)"}, {"приостановлен", "приостановлен"},
        {"", ""},   {"2.5", "2.5"}};
    for (const auto &[status, shown] : statuses) {
        entry.status = QString::fromUtf8(status);
        EXPECT_EQ(statusText(entry), QString::fromUtf8(shown)) << status;
    }

    std::vector<ObjectEntry> entries(1);
    entries[0].code = QStringLiteral("1");
    entries[0].registered = true;
    TempDir dir;
    QList<QByteArray> rows;
    const QString stem = QStringLiteral("710701234500120300");
    for (int i = 1; i <= 400; ++i)
        rows.append(rowOf(stem, i, 0, 0, "department_code=\"" + QByteArray::number(i) + "\""));
    writeReport(dir.path(), stem, rows);
    Table table(dir.file(stem + QStringLiteral(".xml")));
    table.open();
    countDeclarationRows(entries, table);
    ASSERT_EQ(entries.size(), 400u);
    EXPECT_EQ(entries[0].rows, 1);
    EXPECT_EQ(entries[399].code, QStringLiteral("400"));
    const SheetLayout templ =
        sheets::XlsxWorkbook::open(DatabaseWorkspace::shareDir() + QStringLiteral("/templates/10.xlsx")).sheet();
    const SheetLayout sheet = layOutObjects(templ, entries, QStringLiteral("период"));
    EXPECT_EQ(sheet.value(407, 1), SheetLayout::Value::ofNumber(400));
    EXPECT_EQ(sheet.textAt(407, 3), QStringLiteral("400"));
}
