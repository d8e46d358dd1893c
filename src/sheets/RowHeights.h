#pragma once

#include "sheets/SheetLayout.h"

namespace kalvor::sheets {

// Gives the rows from `firstRow` on that have no height of their own the height their wrapped texts need,
// estimated from the texts' lengths, the column widths and the fonts, so that a long supplier or product
// name shows whole in every program and on paper. Rows that fit in one line keep the default height.
void fitRowHeights(SheetLayout &sheet, int firstRow);

} // namespace kalvor::sheets
