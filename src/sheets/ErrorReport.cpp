#include "sheets/ErrorReport.h"

#include "app/Formats.h"
#include "sheets/RowHeights.h"
#include "sheets/SheetFields.h"
#include "store/Table.h"

#include <QHash>

#include <array>
#include <cmath>

namespace kalvor::sheets {

namespace {

std::string_view slice(std::string_view key, std::size_t from, std::size_t length)
{
    return from >= key.size() ? std::string_view() : key.substr(from, length);
}

// The checks with their columns found once per table.
class Checker final {
public:
    Checker(const RowView &anyRow, const ErrorReportOptions &options) : m_options(options)
    {
        m_key = anyRow.fieldIndex(u"dkey");
        m_rest = anyRow.fieldIndex(u"rest");
        m_code = anyRow.fieldIndex(u"production_code");
        m_price = anyRow.fieldIndex(u"purches_price");
        m_packageVolume = anyRow.fieldIndex(u"package_volume");
        m_packageCount = anyRow.fieldIndex(u"package_count");
        m_ttnDate = anyRow.fieldIndex(u"ttn_date");
        for (const std::u16string_view name :
             {u"region_code", u"department_code", u"return_volume", u"package_volume", u"package_count", u"volume",
              u"purches_price", u"sum_coming", u"rest_volume", u"package_count_charges", u"volume_charges",
              u"return_volume_charges", u"writeoff_volume_charges", u"rest"})
            m_required.push_back(anyRow.fieldIndex(name));
    }

    bool ttnDatePasses(const RowView &row) const
    {
        if (isEmpty(row, m_ttnDate))
            return false;
        return dateIsInTime(row.asDate(m_ttnDate), m_options);
    }

    static bool dateIsInTime(const QDate &date, const ErrorReportOptions &options)
    {
        // A date that cannot be read is not held against the row.
        if (!date.isValid())
            return true;
        return date.year() < options.year || (date.year() == options.year && date.month() <= options.month);
    }

    std::optional<Rgb> colour(const RowView &row) const
    {
        const ErrorReportOptions &o = m_options;
        if (o.rest && std::nearbyint(number(row, m_rest)) < 0)
            return kErrorRed;
        if (o.empty && !emptyPasses(row))
            return kErrorFuchsia;
        if (o.productionCode && !kindPasses(row))
            return kErrorOlive;
        if (o.vodka && !pricePasses(row, u"1", o.vodkaThreshold, true))
            return kErrorRed;
        if (o.cognac && !pricePasses(row, u"3", o.cognacThreshold, false))
            return kErrorRed;
        if (o.ttnDate && !ttnDatePasses(row))
            return kErrorBlue;
        return std::nullopt;
    }

private:
    static bool isEmpty(const RowView &row, int field)
    {
        return field < 0 || row.isNull(field) || row.utf8(field).empty();
    }
    static double number(const RowView &row, int field) { return field < 0 ? 0.0 : row.asFloat(field); }

    bool emptyPasses(const RowView &row) const
    {
        if (m_key >= 0 && slice(row.utf8(m_key), 30, 2) == "01")
            return true;
        for (const int field : m_required)
            if (isEmpty(row, field))
                return false;
        return true;
    }

    bool kindPasses(const RowView &row) const
    {
        const qint64 code = m_code < 0 ? 0 : row.asInteger(m_code);
        return code >= 1 && code <= 8;
    }

    bool pricePasses(const RowView &row, QStringView kind, double threshold, bool freeOfCharge) const
    {
        const QString code = m_code < 0 ? QString() : row.asString(m_code);
        if (!code.isEmpty() && code != kind)
            return true;
        if (!isEmpty(row, m_price) && number(row, m_price) >= threshold)
            return true;
        if (number(row, m_packageVolume) != 0.5)
            return true;
        // A vodka position received without price and packages is not a purchase.
        return freeOfCharge && number(row, m_price) == 0 && number(row, m_packageCount) == 0;
    }

    const ErrorReportOptions &m_options;
    int m_key = -1, m_rest = -1, m_code = -1, m_price = -1, m_packageVolume = -1, m_packageCount = -1, m_ttnDate = -1;
    std::vector<int> m_required;
};

QString cut(const QString &text, int length)
{
    return text.left(length);
}

SheetLayout::Value cutValue(const RowView &row, int field, int length)
{
    SheetLayout::Value v = fieldValue(row, field);
    if (v.kind == SheetLayout::Kind::Text)
        v.text = cut(v.text, length);
    return v;
}

struct Invoice {
    SheetLayout::Value supplier, licence, licenceDate, waybill, waybillDate, loadingAddress;
    QString waybillDateText;
    QDate waybillDateValue;
};

// The listed columns of an error row, I to AG without R, AA and AB.
constexpr std::array<int, 22> kListedColumns = {col::I, col::J,  col::K,  col::L,  col::M,  col::N, col::O, col::P,
                                                col::Q, col::S,  col::T,  col::U,  col::V,  col::W, col::X, col::Y,
                                                col::Z, col::AC, col::AD, col::AE, col::AF, col::AG};
constexpr std::array<int, 22> kListedLengths = {70, 20, 0,  50, 0,  30, 30, 19, 30, 19, 0,
                                                19, 19, 19, 19, 19, 19, 19, 19, 19, 19, 19};

struct Slot {
    QString invoice;
    Rgb colour = 0;
    bool filled = false;
    std::array<SheetLayout::Value, 22> values;
};

} // namespace

std::optional<int> readRecordCount(QStringView text)
{
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    if (!ok || count < 1 || count > kMaxRecordCount)
        return std::nullopt;
    return count;
}

std::optional<double> readThreshold(QStringView text)
{
    const std::optional<double> value = Formats::parseNumber(text.trimmed());
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

QString thresholdRefusal(const QString &field, const QString &text)
{
    return QStringLiteral("Порог цены «%1» должен быть числом, например 85,5; введено «%2».").arg(field, text);
}

std::optional<Rgb> errorColour(const RowView &row, const ErrorReportOptions &options)
{
    return Checker(row, options).colour(row);
}

ErrorReport layOutErrorReport(SheetLayout templateSheet, const ErrorReportSources &sources,
                              const ErrorReportOptions &options, const Progress &progress)
{
    ErrorReport report;
    report.sheet = std::move(templateSheet);
    SheetLayout &sheet = report.sheet;
    writeHead(sheet, sources.requisites, sources.periodDate);

    const Table &table = *sources.declaration;
    const std::vector<std::uint32_t> &records = table.presentedRecords();
    const qint64 total = static_cast<qint64>(records.size());
    const int capacity = std::max(0, options.maxRecords);
    std::vector<Slot> slots;
    std::vector<Invoice> invoices;
    QHash<QString, std::size_t> invoiceAt; // the first entry of each number
    QString currentInvoice;
    progress.start(total);

    if (total > 0) {
        const RowView first = table.row(0);
        const Checker checker(first, options);
        const int keyField = first.fieldIndex(u"dkey");
        const std::array<int, 31> fields = columnFields(first);
        const auto field = [&fields](int column) { return fields[static_cast<std::size_t>(column - col::C)]; };
        int slot = -1;
        for (qint64 i = 0; i < total; ++i) {
            const RowView row = table.row(static_cast<int>(i));
            const QString invoice = keyField < 0 ? QString() : row.asString(keyField).mid(18, 6);
            if (invoices.empty() || invoice != currentInvoice) {
                currentInvoice = invoice;
                Invoice entry;
                entry.supplier = cutValue(row, field(col::C), 50);
                entry.licence = cutValue(row, field(col::D), 50);
                entry.licenceDate = cutValue(row, field(col::E), 50);
                entry.waybill = cutValue(row, field(col::F), 50);
                entry.waybillDate = cutValue(row, field(col::G), 20);
                entry.loadingAddress = cutValue(row, field(col::H), 250);
                if (field(col::G) >= 0 && !row.isNull(field(col::G))) {
                    entry.waybillDateText = row.asString(field(col::G));
                    entry.waybillDateValue = row.asDate(field(col::G));
                }
                invoices.push_back(std::move(entry));
                if (!invoiceAt.contains(invoice))
                    invoiceAt.insert(invoice, invoices.size() - 1);
            }
            ++slot;
            if (slot < capacity) {
                const std::optional<Rgb> colour = checker.colour(row);
                if (colour) {
                    Slot s;
                    s.invoice = invoice;
                    s.colour = *colour;
                    for (std::size_t c = 0; c < kListedColumns.size(); ++c) {
                        const int f = field(kListedColumns[c]);
                        // The kind, the region and the packages are kept as whole numbers, 0 when empty.
                        s.values[c] =
                            kListedLengths[c] > 0
                                ? cutValue(row, f, kListedLengths[c])
                                : SheetLayout::Value::ofNumber(f < 0 ? 0.0 : static_cast<double>(row.asInteger(f)));
                    }
                    s.filled = !s.values[0].text.isEmpty();
                    if (static_cast<int>(slots.size()) <= slot)
                        slots.resize(static_cast<std::size_t>(slot) + 1);
                    slots[static_cast<std::size_t>(slot)] = std::move(s);
                } else if (slot > 0) {
                    --slot; // the slot stays free for the next row
                }
            }
            progress.step(i + 1);
            if (progress.isCancelled())
                return report;
        }
    }

    // The listing.
    progress.start(capacity);
    int r = kFirstDataRow;
    int running = 0;
    QString lastInvoice;
    for (int i = 0; i < capacity; ++i) {
        progress.step(i);
        if (i >= static_cast<int>(slots.size()) || !slots[static_cast<std::size_t>(i)].filled)
            continue;
        const Slot &s = slots[static_cast<std::size_t>(i)];
        if (i == 1 || (i > 1 && s.invoice != lastInvoice)) {
            const auto found = invoiceAt.constFind(s.invoice);
            const Invoice *invoice = found == invoiceAt.constEnd() ? nullptr : &invoices[found.value()];
            // A blue row (a position carries its invoice's waybill date, or none) is kept only when its
            // invoice's own date is late too.
            if (options.ttnDate && s.colour == kErrorBlue && invoice && !invoice->waybillDateText.isEmpty() &&
                Checker::dateIsInTime(invoice->waybillDateValue, options))
                continue;
            if (invoice) {
                sheet.setCell(r, col::C, invoice->supplier);
                sheet.setCell(r, col::D, invoice->licence);
                sheet.setCell(r, col::E, invoice->licenceDate);
                sheet.setCell(r, col::F, invoice->waybill);
                sheet.setCell(r, col::G, invoice->waybillDate);
                sheet.setCell(r, col::H, invoice->loadingAddress);
            }
            lastInvoice = s.invoice;
        }
        ++running;
        bool digits = false;
        const int number = s.invoice.toInt(&digits);
        sheet.setCell(r, col::A, digits ? SheetLayout::Value::ofNumber(number) : SheetLayout::Value::ofText(s.invoice));
        sheet.setNumber(r, col::B, running);
        for (std::size_t c = 0; c < kListedColumns.size(); ++c)
            sheet.setCell(r, kListedColumns[c], s.values[c]);
        if (s.values[4].number == 0) // the region column
            sheet.setText(r, col::M, QStringLiteral("ИИИ"));
        colourRow(sheet, r, s.colour);
        ++r;
        sheet.insertRow(r);
    }
    ++r;
    sheet.setText(r, col::C, QStringLiteral("Всего - %1. Возможны и другие ошибки в отчете").arg(running));
    fitRowHeights(sheet, kFirstDataRow);
    report.listed = running;
    report.complete = true;
    return report;
}

} // namespace kalvor::sheets
