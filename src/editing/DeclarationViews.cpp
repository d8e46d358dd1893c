#include "editing/DeclarationViews.h"

#include "store/DeclarationKey.h"

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

// The key of a view's current row, or nothing when the view is closed or empty.
std::string currentKey(const Table &view)
{
    if (!view.isActive() || view.recordCount() == 0)
        return {};
    const int field = view.fieldIndex(u"dkey");
    if (field < 0)
        return {};
    return std::string(view.currentRow().utf8(field));
}

std::string_view keyOf(const RowView &row)
{
    const int field = row.fieldIndex(u"dkey");
    return field < 0 ? std::string_view() : row.utf8(field);
}

} // namespace

DeclarationViews::DeclarationViews()
{
    ClientDataSetInvoice.setFilter([](const RowView &row) { return viewfilter::isInvoiceRow(keyOf(row)); });
    ClientDataSetProduction.setFilter([this](const RowView &row) {
        return viewfilter::isPositionOf(keyOf(row), currentKey(ClientDataSetInvoice));
    });
    ClientDataSetTransfer.setFilter([this](const RowView &row) {
        return viewfilter::isTransferOf(keyOf(row), currentKey(ClientDataSetProduction));
    });
    ClientDataSetCommingCharges.setFilter([this](const RowView &row) {
        return viewfilter::isSameRow(keyOf(row), currentKey(ClientDataSetProduction));
    });
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges}) {
        view->setIndexFieldNames(QStringLiteral("dkey"));
        view->setFiltered(true);
    }
}

void DeclarationViews::reopen(const QString &declarationFileName)
{
    close();
    // Opened in order, so that each filter sees the current rows of the views before it.
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges}) {
        view->setFileName(declarationFileName);
        view->open();
    }
}

void DeclarationViews::close()
{
    for (Table *view : {&ClientDataSetInvoice, &ClientDataSetProduction, &ClientDataSetTransfer, &ClientDataSetCommingCharges})
        view->close();
}

void DeclarationViews::invoiceSelected()
{
    if (!isOpen())
        return;
    ClientDataSetProduction.refresh();
    ClientDataSetProduction.first();
    positionSelected();
}

void DeclarationViews::positionSelected()
{
    if (!isOpen())
        return;
    ClientDataSetTransfer.refresh();
    ClientDataSetTransfer.first();
    ClientDataSetCommingCharges.refresh();
    ClientDataSetCommingCharges.first();
}

} // namespace kalvor
