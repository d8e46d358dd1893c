#pragma once

#include "store/FieldDef.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace kalvor::maintenance {

// Splitting an oversized declaration into two files by invoices, on rows held as text (the cells the
// splitting window shows): each half gets about half of the invoices with all their positions and
// transfers. Column i of a text row is the i-th column of the declaration (0 dkey ... 31 rest, 32 version).
using TextRow = QStringList;
using TextGrid = QList<TextRow>;

// The rows of a declaration file in key order as the user reads them: dates dd.MM.yyyy, decimal commas.
TextGrid declarationAsText(const QString &declarationFileName);

// A row whose key ends (from character 25 on) in "00000000" is an invoice row.
bool isInvoiceTextRow(const TextRow &row);
// Characters 19-24 of the row's key; empty when the key is shorter.
QString invoiceNumberOf(const TextRow &row);

struct SplitResult {
    TextGrid invoices;   // every invoice row, in source order
    TextGrid firstHalf;  // the first half of the invoice rows (rounded down)
    TextGrid secondHalf; // the rest
    TextGrid firstRows;  // positions and transfers of the first half's invoices
    TextGrid secondRows; // ... and of the second half's
};
// `progress(done, total)` is called as rows are handled.
SplitResult splitByInvoices(const TextGrid &source, const std::function<void(qsizetype, qsizetype)> &progress = {});

// The 32 columns of a result file (the declaration's, without "version").
const QList<FieldDef> &splitResultFields();
// Decimal commas in the number columns (production_code ... rest) become points, in place; the text
// columns among them (producer, subdivision codes) keep their commas.
void preparePacketCells(TextGrid &rows);
// Writes one half: a row of dkey, supplier, licence, dates, waybill, loading address and subdivision per
// invoice, then a row of dkey and the columns production_name ... rest per position or transfer. Dates
// are read as dd.MM.yyyy; a cell that is no date throws and no file is written.
void writeSplitHalf(const QString &fileName, const TextGrid &invoices, const TextGrid &rows);

// The result files: <curDir>/divide/<stem>(1).xml and (2).xml, the stem being the current period's
// INNYYMMCC. The folder is made when missing.
QString splitResultFile(const QString &curDir, const QString &stem, int part);

// The exchange file divide/data.txt: one line per row, cells joined by "|", UTF-8 (read also as
// Windows-1251).
QString exchangeFile(const QString &curDir);
void saveExchangeFile(const QString &fileName, const TextGrid &rows);
// nullopt when the file cannot be read. Every row gets as many cells as the widest line.
std::optional<TextGrid> loadExchangeFile(const QString &fileName);

} // namespace kalvor::maintenance
