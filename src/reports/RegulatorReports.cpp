#include "reports/RegulatorReports.h"

#include "dbupload/Database.h"
#include "dbupload/Procedures.h"

#include <array>

namespace kalvor::reports {

namespace p = dbupload::procedures;
using dbupload::Database;
using dbupload::DbRows;
using sheets::SheetLayout;

namespace {

RegulatorReport family(const char *name, const char *action, const QString &caption, int number, const QString &first,
                       const char *nameColumn, int firstRow, const QString &second, ReportTotals totals)
{
    RegulatorReport report;
    report.name = QString::fromLatin1(name);
    report.action = QString::fromLatin1(action);
    report.caption = caption;
    report.templateNumber = number;
    report.firstProcedure = first;
    report.nameColumn = QString::fromLatin1(nameColumn);
    report.firstRow = firstRow;
    report.secondProcedure = second;
    report.totals = totals;
    return report;
}

std::vector<RegulatorReport> makeCatalogue()
{
    RegulatorReport control;
    control.name = QStringLiteral("control");
    control.action = QStringLiteral("ReportControlAction");
    control.caption = QStringLiteral("Отчет контроль");
    control.templateNumber = 1;
    control.control = true;
    return {
        control,
        family("suppliers", "ProductionSupplyAction",
               QStringLiteral("Отчет о поступлении алк. продукции от поставщиков"), 2, p::REP_SUPPLIERS_BY_SUPPLIERS,
               "supply_name", 8, p::REP_SUPPLIERS_BY_PRODUCTION_CODE, ReportTotals::AfterSecondPart),
        family("regions", "RegionsProductionSupplyAction",
               QStringLiteral("Отчет о поступлении алк. продукции из регионов"), 3, p::REP_REGIONS_BY_REGIONS, "name",
               8, p::REP_REGIONS_BY_PRODUCTION_CODE, ReportTotals::None),
        family("import", "ForeignProductionAction", QStringLiteral("Отчет о поступлении импортной алк. продукции"), 4,
               p::REP_IMPORT_PRODUCTION, "name", 10, QString(), ReportTotals::Import),
        family("suppliers-litr", "ReportProductionSupplyLitrAction",
               QStringLiteral("Отчет о поступлении алк. продукции от поставщиков (в дал.) - 6.xls"), 6,
               p::REP_REGIONS_BY_REGIONS_LITR, "name", 8, p::REP_REGIONS_BY_PRODUCTION_LITR_CODE, ReportTotals::None),
        family("raion", "ReportProductionSupplyRaionVOAction",
               QStringLiteral("Отчет о реализации по районам ВО - 7.xls"), 7, p::REP_PRODUCTIONS_BY_RAION, "name", 8,
               p::REP_REGIONS_BY_PRODUCTION_LITR_CODE, ReportTotals::None),
        family("proizv", "ReportProductionSupplyProizvVOAction",
               QStringLiteral("Отчет о реализации по производителям ВО - 8.xls"), 8, p::REP_PRODUCTIONS_BY_PROIZV,
               "name", 8, p::REP_REGIONS_BY_PRODUCTION_LITR_CODE, ReportTotals::None),
        family("vodka52", "ReportProductionVodka52Action", QStringLiteral("Отчет о реализации дешевой водки - 9.xls"),
               9, p::REP_VODKA52, "name", 8, p::REP_VODKA52, ReportTotals::None),
    };
}

// Writes each row's name and two sums from `row` on, one sheet row each, keeping an empty row inserted
// under the last one written; returns the row after the last one written.
int writeSums(SheetLayout &sheet, const DbRows &rows, const QString &nameColumn, int row, double *totals)
{
    for (const dbupload::DbRow r : rows) {
        sheet.setText(row, 2, r.text(nameColumn));
        sheet.setText(row, 3, r.text(u"sum_volume"));
        sheet.setText(row, 4, r.text(u"sum_sum_coming"));
        if (totals) {
            totals[0] += r.number(u"sum_volume");
            totals[1] += r.number(u"sum_sum_coming");
        }
        ++row;
        sheet.insertRow(row);
    }
    return row;
}

std::optional<FilledReport> fillFamily(Database &db, const RegulatorReport &report, const ReportSpan &span,
                                       const SheetLayout &templ)
{
    const dbupload::DbParams params{qint64(span.start()), qint64(span.end())};
    const DbRows first = db.call(report.firstProcedure, params);
    if (first.isEmpty())
        return std::nullopt;
    FilledReport filled{templ, {}};
    SheetLayout &sheet = filled.sheet;
    sheet.setText(4, 1, span.headerText());
    double totals[2] = {0, 0};
    const bool summed = report.totals != ReportTotals::None;
    int row = writeSums(sheet, first, report.nameColumn, report.firstRow, summed ? totals : nullptr);
    if (!report.secondProcedure.isEmpty())
        row = writeSums(sheet, db.call(report.secondProcedure, params), QStringLiteral("name"), row + 2, nullptr);
    if (report.totals == ReportTotals::Import) {
        sheet.setText(8, 2, QStringLiteral("ИИИ,"));
        sheet.setNumber(8, 3, totals[0]);
        sheet.setNumber(8, 4, totals[1]);
    }
    if (summed) {
        sheet.setNumber(row + 2, 3, totals[0]);
        sheet.setNumber(row + 2, 4, totals[1]);
    }
    return filled;
}

const std::array<const char *, 15> kControlColumns = {
    "ttn_numer",      "ttn_date",          "production_code",       "production_name",
    "producer_name",  "production_number", "package_volume",        "package_count",
    "all_count",      "rest_count",        "package_count_charges", "return_count",
    "writeoff_count", "other_count",       "rest_count_all"};

const std::array<const char *, 8> kControlSums = {"sum_package_count",         "sum_all_count",    "sum_rest_count",
                                                  "sum_package_count_charges", "sum_return_count", "sum_writeoff_count",
                                                  "sum_other_count",           "sum_rest"};

std::optional<FilledReport> fillControl(Database &db, const ReportSpan &span, const QString &typedInn,
                                        const SheetLayout &templ)
{
    const QString inn = controlInn(typedInn);
    const dbupload::DbParams params{inn, qint64(span.start()), qint64(span.end())};
    const DbRows rows = db.call(p::REP_KALVOR, params);
    if (rows.isEmpty())
        return std::nullopt;
    FilledReport filled{templ, {}};
    SheetLayout &sheet = filled.sheet;
    sheet.setText(5, 1, span.headerText());
    int row = 11;
    for (const dbupload::DbRow r : rows) {
        for (std::size_t i = 0; i < kControlColumns.size(); ++i)
            sheet.setText(row, 2 + static_cast<int>(i), r.text(QString::fromLatin1(kControlColumns[i])));
        ++row;
        sheet.insertRow(row);
    }

    const DbRows sums = db.call(p::REP_KALVOR_SUM, params);
    const int totalsRow = row + 3;
    row += 5;
    std::array<double, kControlSums.size()> totals{};
    for (const dbupload::DbRow r : sums) {
        sheet.setText(row, 1, r.text(u"name"));
        for (std::size_t i = 0; i < kControlSums.size(); ++i) {
            const QString column = QString::fromLatin1(kControlSums[i]);
            sheet.setText(row, 9 + static_cast<int>(i), r.text(column));
            totals[i] += r.number(column);
        }
        ++row;
        sheet.insertRow(row);
    }
    for (std::size_t i = 0; i < totals.size(); ++i)
        sheet.setNumber(totalsRow, 9 + static_cast<int>(i), totals[i]);

    const DbRows info = db.call(p::REP_GET_KALVOR_INFO, {inn});
    if (!info.isEmpty())
        sheet.setText(4, 1,
                      QStringLiteral("Наименование объекта декларирования:   ") +
                          info.first().text(u"organization_name") + QStringLiteral(", ") +
                          info.first().text(u"low_address"));
    else
        filled.notice = QStringLiteral("Информация о калворе с ИНН: ") + typedInn + QStringLiteral(", не обнаружена");
    sheet.deleteRow(row);
    return filled;
}

} // namespace

QString RegulatorReport::templateName() const
{
    return QString::number(templateNumber) + QStringLiteral(".xlsx");
}

const std::vector<RegulatorReport> &regulatorReports()
{
    static const std::vector<RegulatorReport> catalogue = makeCatalogue();
    return catalogue;
}

const RegulatorReport *findRegulatorReport(QStringView name)
{
    for (const RegulatorReport &report : regulatorReports())
        if (report.name == name || report.action == name)
            return &report;
    return nullptr;
}

QString controlInn(const QString &typed)
{
    return typed.leftJustified(12, u'0');
}

std::optional<FilledReport> fillRegulatorReport(Database &db, const RegulatorReport &report, const ReportSpan &span,
                                                const QString &inn, const SheetLayout &templ)
{
    return report.control ? fillControl(db, span, inn, templ) : fillFamily(db, report, span, templ);
}

} // namespace kalvor::reports
