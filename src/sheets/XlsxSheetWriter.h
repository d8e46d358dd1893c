#pragma once

#include "sheets/SheetLayout.h"
#include "sheets/XlsxPackage.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <unordered_map>
#include <vector>

namespace kalvor::sheets {

class XlsxStyles;

// The shared strings of a written workbook: the template's items in their places, then every other text
// of the sheet once. Cells refer to them by number, which keeps a big worksheet small.
class SharedStringTable final {
public:
    SharedStringTable(const std::vector<std::string> &templateStrings, const SheetLayout &sheet);
    int indexOf(std::string_view text) const; // -1 when absent
    bool empty() const { return m_index.empty(); }
    // The shared strings part: the template's items as they were (rich text included), then the new ones.
    QByteArray part(const QByteArray &templatePart, const QString &displayName, const QString &partName) const;

private:
    std::unordered_map<std::string_view, int> m_index;
    std::vector<std::string_view> m_added;
    std::size_t m_templateCount = 0;
    std::size_t m_references = 0;
};

// The worksheet part of a workbook made from a layout: the template's worksheet (view, columns, page
// set-up and the rest) with its rows, merged cells, dimension and manual page breaks taken from the layout.
// Texts are written as references to the shared strings.
// The rows are written and deflated in pieces on several threads. Throws KalvorError.
DeflatedPart writeSheetPart(const SheetLayout &sheet, const QByteArray &templatePart,
                            const SharedStringTable &sharedStrings, XlsxStyles &styles,
                            const std::vector<int> &templateRowPositions, const QString &displayName,
                            const QString &partName);

// Appends text as XML character data: markup characters as entities, characters XML cannot carry and a
// literal "_xHHHH_" in the escape of the workbook format.
void appendCellText(std::string &out, std::string_view utf8);

} // namespace kalvor::sheets
