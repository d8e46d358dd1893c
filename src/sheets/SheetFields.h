#pragma once

#include "sheets/SheetLayout.h"
#include "store/RowView.h"

#include <QString>

#include <array>
#include <string_view>

namespace kalvor {
class TKalvor;
}

namespace kalvor::sheets {

// Sheet columns of the declaration's table (A = 1 ... AG = 33).
namespace col {
constexpr int A = 1, B = 2, C = 3, D = 4, E = 5, F = 6, G = 7, H = 8, I = 9, J = 10, K = 11, L = 12, M = 13, N = 14,
              O = 15, P = 16, Q = 17, R = 18, S = 19, T = 20, U = 21, V = 22, W = 23, X = 24, Y = 25, Z = 26, AA = 27,
              AB = 28, AC = 29, AD = 30, AE = 31, AF = 32, AG = 33;
} // namespace col

// The row the export tables start at; everything above comes from the template.
constexpr int kFirstDataRow = 32;

// The declaration-table field shown in each column from C to AG.
constexpr std::array<std::u16string_view, 31> kFieldOfColumn = {u"supply_name",
                                                                u"license",
                                                                u"license_date",
                                                                u"ttn_numer",
                                                                u"ttn_date",
                                                                u"loading_address",
                                                                u"production_name",
                                                                u"production_number",
                                                                u"production_code",
                                                                u"producer_name",
                                                                u"region_code",
                                                                u"department_code",
                                                                u"return_volume",
                                                                u"other_coming",
                                                                u"department_code_inner",
                                                                u"alcohol",
                                                                u"package_volume",
                                                                u"package_count",
                                                                u"volume",
                                                                u"purches_price",
                                                                u"sum_coming",
                                                                u"rest_volume",
                                                                u"package_count_charges",
                                                                u"volume_charges",
                                                                u"markup",
                                                                u"sum_charges",
                                                                u"return_volume_charges",
                                                                u"writeoff_volume_charges",
                                                                u"other_charges",
                                                                u"department_code_inner_charges",
                                                                u"rest"};

// Column indices of a table for kFieldOfColumn, found once (-1 where the table lacks the field).
std::array<int, 31> columnFields(const RowView &anyRow);

// A field's value as a cell shows it: numbers as numbers, dates as dates, other fields as their text;
// NULL, empty text and a missing column (field < 0) as an empty cell.
void writeField(SheetLayout &sheet, int row, int column, const RowView &source, int field);
SheetLayout::Value fieldValue(const RowView &source, int field);

// The head of both sheets: Q9 "за <period> года", the filer's name, INN, addresses, number of
// subdivisions and licence in H3 ... L9.
void writeHead(SheetLayout &sheet, const TKalvor &requisites, const QString &periodDate);

// The font of A to AG of a row.
void colourRow(SheetLayout &sheet, int row, Rgb colour);

} // namespace kalvor::sheets
