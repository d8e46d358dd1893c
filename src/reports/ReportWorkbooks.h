#pragma once

#include "reports/RegulatorReports.h"
#include "reports/ReportSpan.h"

#include <QString>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::reports {

inline constexpr int kObjectsTemplateNumber = 10;

// What a report command wrote.
struct WrittenReport {
    bool noData = false; // the first procedure returned no rows: nothing was written
    QString fileName;    // the filled workbook
    QString notice;      // a message to show besides
};

// Fills the report's template (templates/<N>.xlsx of the workspace) from the workspace's database and
// writes the workbook into `outFile`, or into temp/<N>.xlsx (a free name beside it while an office
// program holds that one open) when `outFile` is empty. Any failure throws KalvorError with
// "Ошибка выполнения запроса" and, on a second line, what failed.
WrittenReport writeRegulatorReport(const QString &curDir, const QString &shareDir, const RegulatorReport &report,
                                   const ReportSpan &span, const QString &inn, const QString &outFile = {});

// The completeness report of the configured period: the filer's registered objects against the
// subdivision codes of its declaration, on templates/10.xlsx. Failures of the database or the workbook
// throw as above; a declaration that cannot be read throws its own message.
WrittenReport writeObjectsReport(const TAppSettings &settings, const QString &shareDir, const ReportSpan &span,
                                 const QString &outFile = {});

} // namespace kalvor::reports
