#pragma once

#include "app/TAppSettings.h"
#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QList>

namespace kalvor::test {

// A workspace for the spreadsheet exports: both workbook templates, a kinds book with the codes 1, 3 and 7
// only, the sample requisites of INN 7107012345 and the period March 2012 whose declaration holds `rows`.
class SheetWorkspace final {
public:
    explicit SheetWorkspace(const QList<QByteArray> &rows);

    TempDir dir;
    TAppSettings settings;

    sheets::SheetExportPlan plan(const char *templateName) const;
    // The laid-out declaration, written and read back.
    sheets::SheetLayout writtenDeclaration(QStringList *missingLines = nullptr) const;
};

// The declaration rows of a supplier invoice and of a position (further attributes appended).
QByteArray invoiceRow(int invoice, const QByteArray &supplier, const QByteArray &more = {},
                      const QByteArray &waybillDate = "20120305");
QByteArray positionRow(int invoice, int position, int transfer, const QByteArray &more);

} // namespace kalvor::test
