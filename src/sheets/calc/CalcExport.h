#pragma once

#include "app/Progress.h"
#include "sheets/DeclarationSheet.h"
#include "sheets/SheetExport.h"
#include "sheets/calc/OfficeOptions.h"

#include <QString>

#include <functional>

namespace kalvor::sheets::calc {

inline constexpr const char *kCalcTemplate = "tamrel_oo.xls";

// Where the finished document goes: shown in the office (untitled, not modified) or stored under a file
// name (the MS Excel 97 filter for .xls, ODF for other names) and closed.
struct CalcTarget {
    QString storeAs; // empty: show
};

struct CalcExportResult {
    TRemains periodTotal;
    bool complete = false; // false when cancelled: the document holds the rows laid out so far
    qint64 rowsRead = 0;
    qint64 rowsMissingInvoice = 0;
};

// The Calc export of the planned period (plan made on templates/tamrel_oo.xls): the template is copied to
// temp/tamrel_oo.xls and opened in the office as a template, hidden; the declaration is laid out as for
// the spreadsheet, rendered with the office's differences (declarationCalcOptions) and handed over.
// Rows of a missing invoice go to error.log and `missingInvoice`. Safe on a worker thread. Throws
// KalvorError with the message to show; nothing is left shown in the office then.
CalcExportResult exportDeclarationToCalc(const SheetExportPlan &plan, const CalcTarget &target,
                                         const OfficeOptions &office,
                                         const std::function<void(const QString &)> &missingInvoice,
                                         const Progress &progress = {});

} // namespace kalvor::sheets::calc
