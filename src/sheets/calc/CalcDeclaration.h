#pragma once

#include "sheets/calc/CalcSheetWriter.h"

namespace kalvor::sheets::calc {

// How the declaration, laid out as for the spreadsheet, looks in the office's document: every value as
// text, the row colour on column AG only, and the rows an invoice block or a per-kind list adds (the
// copies of the template's total rows) with B to E merged and their texts in character height 8 (the
// invoice total) or 7 (the row under it and the per-kind rows), on the formats of the rows above them.
CalcWriteOptions declarationCalcOptions(const SheetLayout &sheet);

} // namespace kalvor::sheets::calc
