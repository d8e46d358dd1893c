#pragma once

#include "app/Progress.h"
#include "sheets/DeclarationSheet.h"
#include "sheets/ErrorReport.h"

#include <QString>

#include <functional>

namespace kalvor {
class IniFile;
class TAppSettings;
} // namespace kalvor

namespace kalvor::sheets {

class XlsxWorkbook;

inline constexpr const char *kDeclarationTemplate = "tamrel.xlsx";
inline constexpr const char *kErrorReportTemplate = "tamrelError.xlsx";

// What an export of the current period works on, settled before it starts: the declaration and the
// requisites are copied into temp/ first, so that the export reads files nobody else writes meanwhile.
struct SheetExportPlan {
    QString curDir;
    QString declarationCopy; // temp/<declaration file name>
    QString requisitesCopy;  // temp/<requisites file name>
    QString kindsFile;       // the kinds-of-production book
    QString templateFile;    // templates/<template>
    QString periodString;    // "201203"
    QString periodDate;      // "март 2012"
    int year = 0;            // four-digit
    int month = 0;           // 1-12
};

// The month and year of a period as the period line shows them: "март 2012".
QString periodDateText(int year, int month);

// Plans an export of the configured period on the named template and makes the scratch copies. An empty
// `periodDate` is made from the period. Throws KalvorError with the message to show when there is no
// period, the template is missing or a copy cannot be made.
SheetExportPlan planSheetExport(const TAppSettings &settings, const QString &templateName,
                                const QString &periodDate = {});

// The declaration laid out on the template: reads the copies and the kinds book, starts error.log afresh
// and adds a line to it (and calls `missingInvoice`) for every row whose invoice is missing. Safe on a
// worker thread. Throws KalvorError when a file cannot be read.
DeclarationSheet exportDeclaration(const SheetExportPlan &plan, const XlsxWorkbook &workbook,
                                   const std::function<void(const QString &)> &missingInvoice,
                                   const Progress &progress = {});

// The same on a template sheet read from elsewhere (the office's document); `program` is named in the
// line about a row without its invoice.
DeclarationSheet exportDeclaration(const SheetExportPlan &plan, SheetLayout templateSheet, const QString &program,
                                   const std::function<void(const QString &)> &missingInvoice,
                                   const Progress &progress = {});

// The error report on the template; error.log is started afresh and gets no lines.
ErrorReport exportErrorReport(const SheetExportPlan &plan, const XlsxWorkbook &workbook,
                              const ErrorReportOptions &options, const Progress &progress = {});

// The nine period totals in the period's section of the configuration file, written at once.
void storePeriodTotals(IniFile &ini, const QString &periodString, const TRemains &totals);

// A name in `folder` for a workbook to hand over: `fileName` itself, or "name (2).xlsx", "name (3).xlsx",
// ... when an office program holds the earlier one open (it keeps a lock file beside it).
QString freeWorkbookName(const QString &folder, const QString &fileName);

} // namespace kalvor::sheets
