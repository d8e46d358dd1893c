#pragma once

#include "store/RowView.h"

namespace kalvor {

class Table;

// The terms of the one balance rule of a declaration row, in litres. An empty field counts as 0.
struct BalanceTerms {
    double other_coming = 0;
    double volume = 0;
    double rest_volume = 0;
    double return_volume = 0;
    double volume_charges = 0;
    double return_volume_charges = 0;
    double writeoff_volume_charges = 0;
    double other_charges = 0;
};

// Closing remains: what came in and was there at the start, less what went out. Positions, transfers
// and the reconciliation all use this, so they agree to the last digit.
double balanceRest(const BalanceTerms &terms);

// The terms as a row holds them (a column the row lacks or an empty value counts as 0).
BalanceTerms balanceTermsOf(const RowView &row);
inline double balanceRestOf(const RowView &row) { return balanceRest(balanceTermsOf(row)); }

// Stores the balance of the table's current row (in edit or insert state) into `rest`, rounded to the
// column's decimals as every fixed-decimal value is.
void storeBalanceRest(Table &table);

} // namespace kalvor
