#include "sheets/calc/CalcDeclaration.h"

#include "sheets/SheetFields.h"

namespace kalvor::sheets::calc {

namespace {

// The template's invoice total row, which closing an invoice copies (with the row under it) into the
// data area; every other copied template row lists totals too.
constexpr int kInvoiceTotalRow = kFirstDataRow + 2;

} // namespace

CalcWriteOptions declarationCalcOptions(const SheetLayout &sheet)
{
    CalcWriteOptions options;
    options.valuesAsText = true;
    options.colourFirstColumn = col::AG;
    options.colourLastColumn = col::AG;
    options.merges.emplace();
    std::vector<bool> templateRow(static_cast<std::size_t>(sheet.rowCount()) + 1, false);
    for (const int at : sheet.templateRowPositions())
        if (at > 0 && at <= sheet.rowCount())
            templateRow[static_cast<std::size_t>(at)] = true;
    for (int r = kFirstDataRow; r <= sheet.rowCount(); ++r) {
        const int copied = sheet.formatRow(r);
        if (templateRow[static_cast<std::size_t>(r)] || copied <= kFirstDataRow)
            continue;
        const CalcRowSpan span{r, col::B, col::E};
        options.merges->push_back(span);
        options.charHeights.emplace_back(span, copied == kInvoiceTotalRow ? 8.0f : 7.0f);
    }
    return options;
}

} // namespace kalvor::sheets::calc
