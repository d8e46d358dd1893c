#pragma once

#include "store/RowView.h"

#include <QString>

namespace kalvor {

// A field as the user sees it in grids, entry fields and text files: dates dd.MM.yyyy, decimals with
// a comma (as stored, so 10.500 shows 10,500), everything else as stored.
QString displayText(const RowView &row, int field);

} // namespace kalvor
