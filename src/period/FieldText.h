#pragma once

#include "store/RowView.h"
#include "store/TableData.h"

#include <QString>
#include <QStringView>

#include <string>

namespace kalvor::period {

// Helpers of the whole-table passes that write rows as text (reconciliation, text export).

// Column of a table by name, without regard to case; -1 when the table has no such column.
int columnIndex(const TableData &data, QStringView name);

// A field's text as the grids show it (see displayText), appended in UTF-8 without making a QString for
// the common cases; a column the table lacks (field < 0) appends nothing.
void appendDisplayText(std::string &out, const RowView &row, int field);
// The same as a QString; empty for a missing column.
QString displayTextOf(const RowView &row, int field);

} // namespace kalvor::period
