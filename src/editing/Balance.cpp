#include "editing/Balance.h"

#include "store/Table.h"

namespace kalvor {

double balanceRest(const BalanceTerms &t)
{
    // The terms are added in this order everywhere, so that rounding cannot tell two callers apart.
    return t.other_coming + t.volume + t.rest_volume + t.return_volume - t.volume_charges - t.return_volume_charges
           - t.writeoff_volume_charges - t.other_charges;
}

BalanceTerms balanceTermsOf(const RowView &row)
{
    const auto value = [&row](QStringView name) {
        const int field = row.fieldIndex(name);
        return field < 0 || row.isNull(field) ? 0.0 : row.asFloat(field);
    };
    BalanceTerms t;
    t.other_coming = value(u"other_coming");
    t.volume = value(u"volume");
    t.rest_volume = value(u"rest_volume");
    t.return_volume = value(u"return_volume");
    t.volume_charges = value(u"volume_charges");
    t.return_volume_charges = value(u"return_volume_charges");
    t.writeoff_volume_charges = value(u"writeoff_volume_charges");
    t.other_charges = value(u"other_charges");
    return t;
}

void storeBalanceRest(Table &table) { table.setFloat(u"rest", balanceRestOf(table.currentRow())); }

} // namespace kalvor
