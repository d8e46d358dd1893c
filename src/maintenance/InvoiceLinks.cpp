#include "maintenance/InvoiceLinks.h"

#include "store/DeclarationKey.h"

#include <algorithm>

namespace kalvor::maintenance {
namespace {

// Stem and invoice number: the part a position or transfer shares with its invoice.
std::string_view invoicePart(std::string_view key)
{
    return key.substr(0, std::min<std::size_t>(key.size(), dkey::kPositionOffset));
}

} // namespace

InvoiceLinks::InvoiceLinks(const TableData &data, int keyField)
{
    for (std::uint32_t r = 0; r < data.recordCount(); ++r) {
        if (!RowState::isVisible(data.rowState(r)))
            continue;
        const std::string_view key = data.text(data.recordCells(r)[keyField]);
        if (isInvoiceKey(key))
            m_invoices.emplace(invoicePart(key));
    }
}

bool InvoiceLinks::isInvoiceKey(std::string_view key)
{
    return key.size() >= 32 && key.substr(dkey::kPositionOffset) == "00000000";
}

bool InvoiceLinks::isLinked(std::string_view key) const
{
    return isInvoiceKey(key) || m_invoices.count(std::string(invoicePart(key))) > 0;
}

} // namespace kalvor::maintenance
