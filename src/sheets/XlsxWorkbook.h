#pragma once

#include "sheets/SheetLayout.h"
#include "sheets/XlsxPackage.h"

#include <QByteArrayView>
#include <QString>

#include <string>
#include <vector>

namespace kalvor::sheets {

// A workbook template (.xlsx) and the writer of workbooks made from it: the program's stand-in for the
// spreadsheet application. Opening reads the first worksheet into a SheetLayout (values, cell formats,
// merged cells, row heights, column widths, page set-up, heading rows); the export edits a copy of that
// layout; saving writes the template back with its first worksheet made from the edited layout. Styles,
// shared strings, column widths, print settings, defined names and every other part of the template
// survive; references in defined names and manual page breaks follow the rows they name.
class XlsxWorkbook final {
public:
    // Throws KalvorError naming the file when it cannot be read or is not a workbook.
    static XlsxWorkbook open(const QString &fileName);
    static XlsxWorkbook fromBytes(QByteArrayView bytes, const QString &displayName);

    const QString &displayName() const { return m_package.displayName(); }
    const QString &sheetName() const { return m_sheetName; }
    // The first worksheet as the template has it: the starting point of a layout.
    const SheetLayout &sheet() const { return m_sheet; }

    // Writes the workbook into `fileName` with its first worksheet made from `sheet`, a layout that started
    // as sheet(). The file is replaced only when it has been written whole. Throws KalvorError.
    void save(const SheetLayout &sheet, const QString &fileName) const;

private:
    XlsxWorkbook() = default;
    void readStructure();
    void readSharedStrings();
    void readSheet();
    void addSharedStrings(XlsxPackage &out, const QByteArray &part) const;

    XlsxPackage m_package;
    QString m_workbookPart;
    QString m_sheetPart;
    QString m_stylesPart;
    QString m_sharedStringsPart;
    QString m_sheetName;
    int m_sheetIndex = 0; // place of the first sheet among the workbook's sheets, for localSheetId
    std::vector<std::string> m_sharedStrings;
    SheetLayout m_sheet;
};

// Rewrites the rows of A1 references to `sheetName` (or without a sheet) in a defined name's formula:
// template row r becomes positions[r]; a range keeps the rows of it that survive. Anything it does not
// understand is left as it is.
QString moveReferenceRows(const QString &formula, const QString &sheetName, const std::vector<int> &positions,
                          bool bareReferencesAreThisSheet);

} // namespace kalvor::sheets
