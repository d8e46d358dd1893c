#pragma once

#include "store/Table.h"

#include <string_view>

namespace kalvor {

// Row filters of the four views of a declaration: pure functions of the candidate's key and the key of
// the selected row. Only the middle parts of keys are compared, never the INN and period.
namespace viewfilter {
bool isInvoiceRow(std::string_view key);
bool isPositionOf(std::string_view key, std::string_view invoiceKey);
bool isTransferOf(std::string_view key, std::string_view positionKey);
bool isSameRow(std::string_view key, std::string_view positionKey);
} // namespace viewfilter

// The four linked views of the current declaration file: the invoices, the positions of the selected
// invoice, the transfers of the selected position and the selected position itself (its coming and
// charges). Each is a table of its own over the same file, ordered by key.
class DeclarationViews final {
public:
    DeclarationViews();
    DeclarationViews(const DeclarationViews &) = delete;
    DeclarationViews &operator=(const DeclarationViews &) = delete;

    Table ClientDataSetInvoice;
    Table ClientDataSetProduction;
    Table ClientDataSetTransfer;
    Table ClientDataSetCommingCharges;

    // Closes every view (a view holding changes writes them to its file) and opens all on the file.
    void reopen(const QString &declarationFileName);
    // Closes the views in order: invoices, positions, transfers, coming and charges.
    void close();
    bool isOpen() const { return ClientDataSetInvoice.isActive(); }

    // The selection moved: the dependent views are filtered anew against it.
    void invoiceSelected();
    void positionSelected();
};

} // namespace kalvor
