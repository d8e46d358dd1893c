#pragma once

#include "reports/ReportSpan.h"
#include "sheets/SheetLayout.h"

#include <QString>

#include <optional>
#include <vector>

namespace kalvor::dbupload {
class Database;
}

namespace kalvor::reports {

inline constexpr const char *kNoDataMessage = "За выбранный период данных не обнаружено";
inline constexpr const char *kQueryFailedMessage = "Ошибка выполнения запроса";

// Where a family report writes its totals of the first part's sum_volume and sum_sum_coming.
enum class ReportTotals {
    None,
    AfterSecondPart, // two rows under the last row written
    Import,          // "ИИИ," and the totals in row 8, and again two rows under the last data row
};

// One command of the "Отчеты" menu that fills a template from the reporting database.
struct RegulatorReport {
    QString name;    // the command line's name: "suppliers"
    QString action;  // "ProductionSupplyAction"
    QString caption; // the menu item
    int templateNumber = 0;
    bool control = false; // the control report over one filer; the fields below belong to the family
    QString firstProcedure;
    QString nameColumn;
    int firstRow = 8;
    QString secondProcedure; // empty when the report has one part
    ReportTotals totals = ReportTotals::None;

    QString templateName() const; // "2.xlsx"
};

// The control report first, then the family in the order of the menu.
const std::vector<RegulatorReport> &regulatorReports();
const RegulatorReport *findRegulatorReport(QStringView name);

// The INN the control report passes: the typed one filled out on the right with "0" to 12 characters.
QString controlInn(const QString &typed);

struct FilledReport {
    sheets::SheetLayout sheet;
    QString notice; // a message to show beside the workbook (the filer missing from the database)
};

// Fills the first sheet of the report's template. `inn` is the INN as typed (control report only).
// Nothing when the first procedure returns no rows. Database failures throw KalvorError with the
// database's words.
std::optional<FilledReport> fillRegulatorReport(dbupload::Database &db, const RegulatorReport &report,
                                                const ReportSpan &span, const QString &inn,
                                                const sheets::SheetLayout &templ);

} // namespace kalvor::reports
