#pragma once

#include "store/Table.h"

#include <limits>
#include <string>
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

// Record numbers (1-based) of the invoice, position and transfer views; kLastRow means the last row.
struct ViewCursor {
    static constexpr int kLastRow = std::numeric_limits<int>::max();
    int invoice = 1;
    int position = 1;
    int transfer = 1;
};

// The four linked views of the current declaration file: the invoices, the positions of the selected
// invoice, the transfers of the selected position and the selected position itself (its coming and
// charges). Each is a table of its own over the same file, ordered by key, with its own current row;
// the file is parsed once per reopening and the other three views start from a copy of those rows, so
// every view can still be edited and saved as a whole declaration.
class DeclarationViews final {
public:
    using Cursor = ViewCursor;
    static constexpr int kLastRow = ViewCursor::kLastRow;

    DeclarationViews();
    DeclarationViews(const DeclarationViews &) = delete;
    DeclarationViews &operator=(const DeclarationViews &) = delete;

    Table ClientDataSetInvoice;
    Table ClientDataSetProduction;
    Table ClientDataSetTransfer;
    Table ClientDataSetCommingCharges;

    // Closes every view (a view holding changes writes them to its file), reads the file again and
    // opens all four, each filter evaluated against the rows chosen in the views before it.
    void reopen(const QString &declarationFileName, const ViewCursor &at = ViewCursor());
    // Closes the views in order: invoices, positions, transfers, coming and charges. The views only
    // show the file: whatever a failed command left in them is dropped, never written.
    void close();
    bool isOpen() const { return ClientDataSetInvoice.isActive(); }
    // The current record numbers of the invoice, position and transfer views.
    Cursor cursor() const;

    // The selection moved: the dependent views are filtered anew against it and start on their first
    // row. The coming/charges view follows only when asked (it is not looked at while hidden).
    void invoiceSelected(bool withCharges = true);
    void positionSelected(bool withCharges = true);
    void chargesSelected();

private:
    void rememberSelection();

    int m_keyField = -1;            // column of dkey in the file (the same in every view)
    std::string m_selectedInvoice;  // keys the dependent filters compare with, read once per refresh
    std::string m_selectedPosition;
};

// Opens `work` on the rows of the unchanged `view` (no copy is made until it changes), over the same
// file, unfiltered and ordered by key, on the row that is current in the view. Commands change and save
// such a table of their own, so a failure leaves the view and the file as they were.
void openWorkingCopy(Table &work, const Table &view);

// Which editing commands of the main window are usable, as the opening of the views decides.
struct EditingAvailability {
    bool addProduction = false;
    bool copyProduction = false;
    bool editProduction = false;
    bool deleteProduction = false;
    bool addInnerTransfer = false;
    bool editInnerTransfer = false;
    bool deleteInnerTransfer = false;
    bool editInvoice = false;
    bool deleteInvoice = true;

    // The position view opened: an invoice may be deleted only while it has no positions.
    void positionViewOpened(bool invoicesHaveRows, bool positionsHaveRows);
    // The transfer view opened (for the selected position): a position can be deleted exactly while the
    // position view has rows and the transfer view shows none of its transfers.
    void transferViewOpened(bool transferHasCurrentRow);
};

} // namespace kalvor
