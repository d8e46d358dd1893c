#include "period/TextExport.h"

#include "app/TAppSettings.h"
#include "period/ErrorDeletion.h"
#include "period/ErrorLog.h"
#include "period/FieldText.h"
#include "sheets/SheetFields.h"
#include "store/DataPacketReader.h"
#include "store/DeclarationKey.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"

#include <QDir>

#include <array>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kalvor::period {

namespace {

constexpr std::size_t kInvoicePrefix = dkey::kPositionOffset; // period prefix and invoice number
constexpr std::string_view kInvoiceTail = "000000";           // key characters 25-30 of an invoice row

// The columns of a line after the waybill date and loading address, all the row's own: the fields of the
// declaration sheet's columns I to AG, in their order.
constexpr std::span<const std::u16string_view> kRowColumns =
    std::span(sheets::kFieldOfColumn).subspan(sheets::col::I - sheets::col::C);

bool isInvoiceKey(std::string_view key)
{
    return key.size() >= kInvoicePrefix + kInvoiceTail.size() &&
           key.substr(kInvoicePrefix, kInvoiceTail.size()) == kInvoiceTail;
}

std::string_view invoicePart(std::string_view key)
{
    return key.substr(0, std::min(key.size(), kInvoicePrefix));
}

// What a line takes from its invoice row, prepared once per invoice.
struct InvoiceText {
    std::string supplier; // "|supply_name|license|license_date|"
    std::string waybill;  // "|ttn_date|loading_address"
};

class LineWriter final {
public:
    explicit LineWriter(const QString &fileName) : m_file(fileName) { m_buffer.reserve(kFlushSize + 4096); }
    void add(const std::string &line)
    {
        m_buffer += line;
        m_buffer += '\n';
        if (m_buffer.size() >= kFlushSize)
            flush();
    }
    void commit()
    {
        flush();
        m_file.commit();
    }

private:
    static constexpr std::size_t kFlushSize = 1 << 20;
    void flush()
    {
        m_file.write(std::string_view(m_buffer));
        m_buffer.clear();
    }

    AtomicFile m_file;
    std::string m_buffer;
};

} // namespace

TextExportResult exportText(const TAppSettings &settings)
{
    // Read first: a declaration that cannot be read leaves data.txt and error.log as they were.
    TableData data;
    readDataPacketFile(settings.FDeclarationFileName, data);
    const int keyField = columnIndex(data, u"dkey");
    if (keyField < 0)
        throw KalvorError(QStringLiteral("В таблице %1 нет поля dkey").arg(settings.FDeclarationFileName));
    const int ttnNumer = columnIndex(data, u"ttn_numer");
    const int supplyName = columnIndex(data, u"supply_name");
    const int license = columnIndex(data, u"license");
    const int licenseDate = columnIndex(data, u"license_date");
    const int ttnDate = columnIndex(data, u"ttn_date");
    const int loadingAddress = columnIndex(data, u"loading_address");
    std::vector<int> rowColumns;
    for (const std::u16string_view name : kRowColumns)
        rowColumns.push_back(columnIndex(data, name));

    std::vector<std::uint32_t> rows;
    for (const std::uint32_t record : data.fileOrder())
        if (RowState::isVisible(data.rowState(record)))
            rows.push_back(record);
    const auto keyOf = [&data, keyField](std::uint32_t record) {
        return data.text(data.recordCells(record)[keyField]);
    };

    // Pass 1: the invoices by their first 24 key characters, each list in stored order. Two invoice rows
    // with one prefix both count, so their positions get a line for each.
    std::vector<InvoiceText> invoices;
    std::unordered_map<std::string_view, std::vector<std::size_t>> invoicesByPrefix;
    for (const std::uint32_t record : rows) {
        const std::string_view key = keyOf(record);
        if (!isInvoiceKey(key))
            continue;
        const RowView row(&data, data.recordCells(record));
        InvoiceText &text = invoices.emplace_back();
        text.supplier += '|';
        appendDisplayText(text.supplier, row, supplyName);
        text.supplier += '|';
        appendDisplayText(text.supplier, row, license);
        text.supplier += '|';
        appendDisplayText(text.supplier, row, licenseDate);
        text.supplier += '|';
        text.waybill += '|';
        appendDisplayText(text.waybill, row, ttnDate);
        text.waybill += '|';
        appendDisplayText(text.waybill, row, loadingAddress);
        invoicesByPrefix[invoicePart(key)].push_back(invoices.size() - 1);
    }

    ErrorLogFile log;
    ErrorLogFileOpen(log, settings.FcurDir);
    LineWriter out(QDir(settings.FcurDir).filePath(QStringLiteral("data.txt")));
    out.add(exportLogHeader().toStdString());

    // Pass 2: positions and transfers, in stored order.
    TextExportResult result;
    std::string own; // the row's fields after the waybill number, the same for each of its invoices
    std::string line;
    for (const std::uint32_t record : rows) {
        const std::string_view key = keyOf(record);
        if (isInvoiceKey(key))
            continue;
        const RowView row(&data, data.recordCells(record));
        const auto found = invoicesByPrefix.find(invoicePart(key));
        if (found == invoicesByPrefix.end()) {
            ErrorLogFileSaveTo(log, unlinkedWaybillLine(displayTextOf(row, ttnNumer)));
            ++result.unlinked;
            continue;
        }
        own.clear();
        for (const int field : rowColumns) {
            own += '|';
            appendDisplayText(own, row, field);
        }
        for (const std::size_t invoice : found->second) {
            line.clear();
            line += key;
            line += invoices[invoice].supplier;
            appendDisplayText(line, row, ttnNumer);
            line += invoices[invoice].waybill;
            line += own;
            out.add(line);
            ++result.lines;
        }
    }
    out.commit();
    ErrorLogFileClose(log);

    result.message = QStringLiteral("Данные выгружены:  ( см. файл data.txt)");
    return result;
}

} // namespace kalvor::period
