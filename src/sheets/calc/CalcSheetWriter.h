#pragma once

#include "sheets/SheetLayout.h"

#include <optional>
#include <vector>

namespace kalvor::sheets::calc {

class TOOCalc;

// Cells of one row from one column to another.
struct CalcRowSpan {
    int row = 0;
    int firstColumn = 0;
    int lastColumn = 0;
};

// How the layout is rendered where the office's document differs from a workbook file.
struct CalcWriteOptions {
    bool valuesAsText = false;  // numbers and dates arrive as the text the layout shows for them
    int colourFirstColumn = 0;  // with both set, a row's font colour goes to these columns only
    int colourLastColumn = 0;
    // Merged areas of the rows the layout added; without them, the layout's own merges of those rows.
    std::optional<std::vector<CalcRowSpan>> merges;
    std::vector<std::pair<CalcRowSpan, float>> charHeights; // points
};

// The active sheet as a layout to lay out on: its rows up to the last used one, their values and the
// number formats of their cells (what the layout shows numbers by).
SheetLayout readSheetLayout(TOOCalc &calc);

// Turns the active sheet, still as `templateSheet` read it, into `sheet`, a layout computed from that
// template, in few requests: the template rows the layout deleted go, the rows it added come in one
// insertion per run (the office gives them the formats of the row above them, as a spreadsheet does),
// their merged areas are pasted at once from the first one of each shape, their values arrive in blocks,
// character heights and colours by ranges. Template rows receive only the cells the layout changed.
void writeSheetLayout(TOOCalc &calc, const SheetLayout &sheet, const SheetLayout &templateSheet,
                      const CalcWriteOptions &options = {});

} // namespace kalvor::sheets::calc
