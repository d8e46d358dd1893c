#pragma once

#include "sheets/SheetLayout.h"
#include "sheets/XlsxPackage.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

namespace kalvor::sheets {

class XlsxStyles;

// The worksheet part of a workbook made from a layout: the template's worksheet (view, columns, page
// set-up and the rest) with its rows, merged cells, dimension and manual page breaks taken from the layout.
// Texts found among the template's shared strings are written as references to them, others inline.
// The rows are written and deflated in pieces on several threads. Throws KalvorError.
DeflatedPart writeSheetPart(const SheetLayout &sheet, const QByteArray &templatePart,
                            const std::vector<std::string> &sharedStrings, XlsxStyles &styles,
                            const std::vector<int> &templateRowPositions, const QString &displayName,
                            const QString &partName);

// Appends text as XML character data: markup characters as entities, characters XML cannot carry and a
// literal "_xHHHH_" in the escape of the workbook format.
void appendCellText(std::string &out, std::string_view utf8);

} // namespace kalvor::sheets
