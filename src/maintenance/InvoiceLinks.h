#pragma once

#include "store/TableData.h"

#include <string>
#include <string_view>
#include <unordered_set>

namespace kalvor::maintenance {

// Which rows of a declaration belong to an invoice it holds: a position or transfer belongs when an
// invoice row shares its characters 1-24 (stem and invoice number). The position number takes no
// part, so positions numbered 100000 and above are not mistaken for strays. Any number of invoices.
class InvoiceLinks final {
public:
    // From the visible rows of a table whose key is column `keyField`.
    InvoiceLinks(const TableData &data, int keyField);

    // An invoice row, or a row whose invoice is present.
    bool isLinked(std::string_view key) const;
    // Characters 25-32 are "00000000".
    static bool isInvoiceKey(std::string_view key);

private:
    std::unordered_set<std::string> m_invoices;
};

} // namespace kalvor::maintenance
