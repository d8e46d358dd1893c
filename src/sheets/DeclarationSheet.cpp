#include "sheets/DeclarationSheet.h"

#include "sheets/RowHeights.h"
#include "sheets/SheetFields.h"
#include "store/KalvorError.h"
#include "store/Table.h"

namespace kalvor::sheets {

namespace {

std::string_view slice(std::string_view key, std::size_t from, std::size_t length)
{
    return from >= key.size() ? std::string_view() : key.substr(from, length);
}

enum class RowKind { Invoice, Position, Transfer };

// Told by the key alone: 25-32 all zero is an invoice, 31-32 "00" a position, anything else a transfer.
RowKind kindOf(std::string_view key)
{
    if (slice(key, 24, 8) == "00000000")
        return RowKind::Invoice;
    return slice(key, 30, 2) == "00" ? RowKind::Position : RowKind::Transfer;
}

class Layout final {
public:
    Layout(SheetLayout &sheet, const DeclarationSources &sources) : m_sheet(sheet), m_sources(sources) {}

    TRemains invoiceTotal;
    TRemains periodTotal;
    TTotal invoiceKinds;
    TTotal periodKinds;
    int cursor = kFirstDataRow;
    // The cursor is on a row already written (an invoice row without a position after it, or the table's
    // last row), not on a fresh blank row.
    bool cursorOnWrittenRow = false;

    void writeTotal(int row, const TRemains &t)
    {
        m_sheet.setNumber(row, col::O, t.ReturnVolume());
        m_sheet.setNumber(row, col::U, t.Volume());
        m_sheet.setNumber(row, col::W, t.SumComing());
        m_sheet.setNumber(row, col::X, t.RestVolume());
        m_sheet.setNumber(row, col::Z, t.VolumeCharges());
        m_sheet.setNumber(row, col::AB, t.SumCharges());
        m_sheet.setNumber(row, col::AC, t.ReturnVolumeCharges());
        m_sheet.setNumber(row, col::AD, t.WriteoffVolumeCharges());
        m_sheet.setNumber(row, col::AG, t.Rest());
    }

    // One row per filled kind, each a copy of the row above it, under the total at the cursor.
    void writeKinds(const TTotal &kinds)
    {
        for (int kind = TTotal::kFirstKind; kind <= TTotal::kLastKind; ++kind) {
            const std::optional<TKindProductionTotal> &t = kinds.slot(kind);
            if (!t)
                continue;
            const int row = cursor + 2;
            m_sheet.insertRow(row);
            m_sheet.copyRows(cursor + 1, cursor + 1, row);
            // The name of the kind whose code this is (not of the kind-th entry of the book).
            const auto name = m_sources.kindNames.find(kind);
            m_sheet.setText(row, col::B, name != m_sources.kindNames.end() ? name->second : QString());
            m_sheet.setNumber(row, col::K, t->Fproduction_code);
            m_sheet.setNumber(row, col::O, t->Freturn_volume);
            m_sheet.setNumber(row, col::U, t->Fvolume);
            m_sheet.setNumber(row, col::W, t->Fsum_coming);
            m_sheet.setNumber(row, col::X, t->Frest_volume);
            m_sheet.setNumber(row, col::Z, t->Fvolume_charges);
            m_sheet.setNumber(row, col::AB, t->Fsum_charges);
            m_sheet.setNumber(row, col::AC, t->Freturn_volume_charges);
            m_sheet.setNumber(row, col::AD, t->Fwriteoff_volume_charges);
            m_sheet.setNumber(row, col::AG, t->Frest);
            ++cursor;
        }
    }

    // The open invoice's total row, the template's row under it and its per-kind rows.
    void closeInvoice()
    {
        // An invoice without positions still has the cursor on its own row: step under it first, as a
        // position would have, so that its block goes below it and the next invoice does not overwrite it.
        if (cursorOnWrittenRow) {
            ++cursor;
            m_sheet.insertRow(cursor);
            cursorOnWrittenRow = false;
        }
        m_sheet.insertRow(cursor);
        m_sheet.insertRow(cursor);
        m_sheet.copyRows(cursor + 4, cursor + 5, cursor);
        writeTotal(cursor, invoiceTotal);
        writeKinds(invoiceKinds);
        invoiceKinds.clear();
        cursor += 2;
    }

    void finish(const QString &nameLeader)
    {
        periodTotal.Add(invoiceTotal);
        writeTotal(cursor + 2, invoiceTotal);
        ++cursor;
        m_sheet.deleteRow(cursor);
        writeKinds(invoiceKinds);
        cursor += 2;
        writeTotal(cursor + 2, periodTotal);
        cursor += 2;
        writeKinds(periodKinds);
        for (const int column : {col::U, col::W, col::Z, col::AB})
            m_sheet.setText(cursor + 2, column, QStringLiteral("Х"));
        m_sheet.setText(cursor + 5, col::F, nameLeader);
    }

private:
    SheetLayout &m_sheet;
    const DeclarationSources &m_sources;
};

} // namespace

QString missingInvoiceLine(const RowView &row, const QString &program)
{
    const int ttn = row.fieldIndex(u"ttn_numer");
    const QString key = row.asString(row.fieldIndex(u"dkey"));
    return QStringLiteral("Отсутствует накладная №") + (ttn >= 0 ? row.asString(ttn) : QString()) +
           QStringLiteral(" с кодом №") + key.mid(18, 6) + QStringLiteral(". dkey=") + key +
           QStringLiteral(". Позиция не вывелась в ") + program + u'.';
}

DeclarationSheet layOutDeclaration(SheetLayout templateSheet, const DeclarationSources &sources,
                                   const std::function<void(const QString &)> &missingInvoice, const Progress &progress)
{
    DeclarationSheet result;
    result.sheet = std::move(templateSheet);
    SheetLayout &sheet = result.sheet;
    writeHead(sheet, sources.requisites, sources.periodDate);

    const Table &table = *sources.declaration;
    const std::vector<std::uint32_t> &records = table.presentedRecords();
    const qint64 total = static_cast<qint64>(records.size());
    progress.start(total);
    Layout layout(sheet, sources);

    if (total > 0) {
        const RowView first = table.row(0);
        const int keyField = first.fieldIndex(u"dkey");
        if (keyField < 0)
            throw KalvorError(QStringLiteral("В таблице %1 нет поля dkey").arg(table.fileName()));
        const TotalsColumns totals = TotalsColumns::of(first);
        const std::array<int, 31> fields = columnFields(first);
        const auto field = [&fields](int column) { return fields[static_cast<std::size_t>(column - col::C)]; };
        const int regionField = field(col::M);
        const int restField = field(col::AG);

        std::string currentInvoice;
        bool haveInvoice = false;
        int pp = 0;
        for (qint64 i = 0; i < total; ++i) {
            const RowView row = table.row(static_cast<int>(i));
            const std::string_view key = row.utf8(keyField);
            const RowKind kind = kindOf(key);
            const int cursor = layout.cursor;
            if (kind == RowKind::Invoice) {
                ++pp;
                if (haveInvoice)
                    layout.closeInvoice();
                currentInvoice = std::string(slice(key, 18, 6));
                haveInvoice = true;
                layout.periodTotal.Add(layout.invoiceTotal);
                layout.invoiceTotal.Reset();
                const int at = layout.cursor;
                sheet.setNumber(at, col::B, pp);
                for (int column = col::C; column <= col::AG; ++column)
                    writeField(sheet, at, column, row, field(column));
                colourRow(sheet, at, row.asFloat(restField) < 0 ? kRed : kBlack);
                layout.cursorOnWrittenRow = true;
            } else if (haveInvoice && slice(key, 18, 6) == currentInvoice) {
                layout.invoiceKinds.count(row, totals);
                layout.periodKinds.count(row, totals);
                for (int column = col::I; column <= col::AG; ++column)
                    writeField(sheet, cursor, column, row, field(column));
                if (kind == RowKind::Position) {
                    if (regionField >= 0 && row.utf8(regionField) == "0")
                        sheet.setText(cursor, col::M, QStringLiteral("ИИИ"));
                } else {
                    for (const int column : {col::AE, col::AF})
                        if (field(column) < 0 || row.isNull(field(column)) || row.utf8(field(column)).empty())
                            sheet.setNumber(cursor, column, 0);
                }
                colourRow(sheet, cursor, row.asFloat(restField) < 0 ? kRed : kBlack);
                layout.invoiceTotal.Add(row, totals);
                if (i + 1 < total) {
                    ++layout.cursor;
                    sheet.insertRow(layout.cursor);
                    layout.cursorOnWrittenRow = false;
                } else {
                    layout.cursorOnWrittenRow = true;
                }
            } else {
                ++result.rowsMissingInvoice;
                if (missingInvoice)
                    missingInvoice(missingInvoiceLine(row, sources.program));
            }
            ++result.rowsRead;
            progress.step(i + 1);
            if (progress.isCancelled()) {
                fitRowHeights(sheet, kFirstDataRow);
                return result;
            }
        }
    }
    layout.finish(sources.requisites.FNameLeader);
    fitRowHeights(sheet, kFirstDataRow);
    result.periodTotal = layout.periodTotal;
    result.complete = true;
    return result;
}

} // namespace kalvor::sheets
