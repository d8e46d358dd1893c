#pragma once

#include "app/Progress.h"
#include "sheets/PeriodTotals.h"
#include "sheets/SheetLayout.h"
#include "store/TKalvor.h"

#include <QString>

#include <functional>
#include <map>

namespace kalvor {
class Table;
}

namespace kalvor::sheets {

// What the declaration sheet is made of.
struct DeclarationSources {
    const Table *declaration = nullptr; // open; its rows are taken in key order
    TKalvor requisites;
    std::map<int, QString> kindNames;          // the kinds-of-production book: code -> name
    QString periodDate;                        // "март 2012"
    QString program = QStringLiteral("Excel"); // named in the line about a row without its invoice
};

struct DeclarationSheet {
    SheetLayout sheet;
    TRemains periodTotal;  // the nine totals of the period (complete only when the sheet is)
    bool complete = false; // false when cancelled: the sheet ends after the last row written
    qint64 rowsRead = 0;
    qint64 rowsMissingInvoice = 0;
};

// The line reported for a position or transfer whose invoice row is missing.
QString missingInvoiceLine(const RowView &row, const QString &program);

// Lays the declaration out on a template sheet (tamrel.xlsx): the head, then from row 32 every invoice
// with its positions and transfers, after each invoice its total row, the template's row under it and
// one row per kind met in it, and at the end the period total with its per-kind rows, the "Х" marks and
// the leader's name, each row copying the template rows under the data area. Rows of a missing invoice
// are passed to `missingInvoice` and left out. Progress steps once per table row; a cancel is seen
// after the current row. Throws KalvorError when the table lacks the key column.
DeclarationSheet layOutDeclaration(SheetLayout templateSheet, const DeclarationSources &sources,
                                   const std::function<void(const QString &)> &missingInvoice,
                                   const Progress &progress = {});

} // namespace kalvor::sheets
