#include "editing/DeclarationViews.h"

#include "store/DeclarationKey.h"
#include "store/KalvorError.h"

#include <algorithm>

namespace kalvor {
namespace viewfilter {
namespace {

constexpr std::string_view kNoPosition = "000000";
constexpr std::string_view kNoTransfer = "00";

std::string_view part(std::string_view key, int offset, int length)
{
    if (key.size() < static_cast<std::size_t>(offset + length))
        return {};
    return key.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

std::string_view positionPart(std::string_view key) { return part(key, dkey::kPositionOffset, dkey::kPositionDigits); }
std::string_view transferPart(std::string_view key) { return part(key, dkey::kTransferOffset, dkey::kTransferDigits); }
std::string_view invoicePart(std::string_view key) { return part(key, dkey::kInvoiceOffset, dkey::kInvoiceDigits); }

} // namespace

bool isInvoiceRow(std::string_view key) { return positionPart(key) == kNoPosition; }

bool isPositionOf(std::string_view key, std::string_view invoiceKey)
{
    const std::string_view invoice = invoicePart(key);
    return !invoice.empty() && positionPart(key) != kNoPosition && transferPart(key) == kNoTransfer
           && invoice == invoicePart(invoiceKey);
}

bool isTransferOf(std::string_view key, std::string_view positionKey)
{
    const std::string_view position = positionPart(key);
    return !position.empty() && position != kNoPosition && invoicePart(key) == invoicePart(positionKey)
           && position == positionPart(positionKey) && transferPart(key) != kNoTransfer;
}

bool isSameRow(std::string_view key, std::string_view positionKey) { return !key.empty() && key == positionKey; }

} // namespace viewfilter

namespace {

std::string_view keyAt(const RowView &row, int field)
{
    return field < 0 || row.isNull(field) ? std::string_view() : row.utf8(field);
}

// The key of a view's current row, or nothing when the view is closed or empty.
std::string currentKey(const Table &view, int field)
{
    if (!view.isActive() || view.recordCount() == 0 || field < 0)
        return {};
    return std::string(keyAt(view.currentRow(), field));
}

} // namespace

DeclarationViews::DeclarationViews()
{
    // The filters run once per row of the file: they compare with keys read before the pass.
    ClientDataSetInvoice.setFilter([this](const RowView &row) { return viewfilter::isInvoiceRow(keyAt(row, m_keyField)); });
    ClientDataSetProduction.setFilter([this](const RowView &row) {
        return viewfilter::isPositionOf(keyAt(row, m_keyField), m_selectedInvoice);
    });
    ClientDataSetTransfer.setFilter([this](const RowView &row) {
        return viewfilter::isTransferOf(keyAt(row, m_keyField), m_selectedPosition);
    });
    ClientDataSetCommingCharges.setFilter([this](const RowView &row) {
        return viewfilter::isSameRow(keyAt(row, m_keyField), m_selectedPosition);
    });
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges}) {
        view->setIndexFieldNames(QStringLiteral("dkey"));
        view->setFiltered(true);
    }
}

void DeclarationViews::rememberSelection()
{
    m_selectedInvoice = currentKey(ClientDataSetInvoice, m_keyField);
    m_selectedPosition = currentKey(ClientDataSetProduction, m_keyField);
}

void DeclarationViews::reopen(const QString &declarationFileName, const Cursor &at)
{
    close();
    m_selectedInvoice.clear();
    m_selectedPosition.clear();
    // The file is parsed once to learn where the key is; the views then open on copies of its rows,
    // in order, so that each filter sees the rows chosen in the views before it.
    Table file(declarationFileName);
    file.open();
    m_keyField = file.fieldIndex(u"dkey");
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges})
        view->setFileName(declarationFileName);
    ClientDataSetInvoice.openCopyOf(file);
    if (at.invoice != 1)
        ClientDataSetInvoice.setRecNo(at.invoice);
    rememberSelection();
    ClientDataSetProduction.openCopyOf(file);
    if (at.position != 1)
        ClientDataSetProduction.setRecNo(at.position);
    rememberSelection();
    ClientDataSetTransfer.openCopyOf(file);
    if (at.transfer != 1)
        ClientDataSetTransfer.setRecNo(at.transfer);
    ClientDataSetCommingCharges.openCopyOf(file);
}

void DeclarationViews::close()
{
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges})
        view->discard();
}

void openWorkingCopy(Table &work, const Table &view)
{
    work.setFileName(view.fileName());
    work.setIndexFieldNames(QStringLiteral("dkey"));
    work.openCopyOf(view);
    if (view.recNo() < 1)
        return;
    // The same record of the shared rows, found by its index (keys may repeat in a damaged file).
    const std::uint32_t record = view.presentedRecords()[static_cast<std::size_t>(view.recNo() - 1)];
    const std::vector<std::uint32_t> &rows = work.presentedRecords();
    const auto at = std::find(rows.begin(), rows.end(), record);
    if (at == rows.end())
        throw KalvorError(QStringLiteral("Выбранная запись не найдена в файле %1").arg(view.fileName()));
    work.setRecNo(static_cast<int>(at - rows.begin()) + 1);
}

DeclarationViews::Cursor DeclarationViews::cursor() const
{
    return {ClientDataSetInvoice.recNo(), ClientDataSetProduction.recNo(), ClientDataSetTransfer.recNo()};
}

void DeclarationViews::invoiceSelected(bool withCharges)
{
    if (!isOpen())
        return;
    rememberSelection();
    ClientDataSetProduction.refresh();
    ClientDataSetProduction.first();
    positionSelected(withCharges);
}

void DeclarationViews::positionSelected(bool withCharges)
{
    if (!isOpen())
        return;
    rememberSelection();
    ClientDataSetTransfer.refresh();
    ClientDataSetTransfer.first();
    if (withCharges)
        chargesSelected();
}

void DeclarationViews::chargesSelected()
{
    if (!isOpen())
        return;
    rememberSelection();
    ClientDataSetCommingCharges.refresh();
    ClientDataSetCommingCharges.first();
}

void EditingAvailability::positionViewOpened(bool invoicesHaveRows, bool positionsHaveRows)
{
    addProduction = editInvoice = invoicesHaveRows;
    copyProduction = editProduction = deleteProduction = addInnerTransfer = positionsHaveRows;
    deleteInvoice = !positionsHaveRows;
}

void EditingAvailability::transferViewOpened(bool transferHasCurrentRow)
{
    editInnerTransfer = deleteInnerTransfer = transferHasCurrentRow;
    // Follows the selected position on every move: a position is deletable while it has no transfers.
    deleteProduction = editProduction && !transferHasCurrentRow;
}

} // namespace kalvor
