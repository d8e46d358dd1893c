#pragma once

#include "store/RowView.h"

#include <QDate>
#include <QStringView>

#include <optional>

namespace kalvor {

// The highlight options of the main window's grids, all on at every start.
struct HighlightOptions {
    bool CheckErrors = true; // master switch: off, no cell is coloured
    bool Chk_rest = true;
    bool Chk_empty = true;
    bool Chk_TTN_DATE = true;
    bool Chk_Production_Code = true;
    bool Chk_vodka = true;   // used by the error report only
    bool Chk_Koniyak = true; // used by the error report only
};

// The declaration month the grids and the invoice dialog compare waybill dates with: the year as a
// four-digit number (nothing when the year selector cannot be read) and the month 1-12.
struct DeclarationMonth {
    std::optional<int> year;
    int month = 0;
};

// Row checks shared by the grids and the error report. A value that cannot be read passes.
namespace rowcheck {
// Empty means the text is empty (NULL included).
bool isEmpty(const RowView &row, int field);
// The named field exists and is not empty.
bool isPresent(const RowView &row, QStringView name);
// The named field as a number; 0 when it is missing or NULL.
double numberOrZero(const RowView &row, QStringView name);
// Closing remains empty or below zero.
bool restIsBad(const RowView &row, int restField);
// Kind code empty, below 1 or above 8.
bool productionCodeIsBad(const RowView &row, int codeField);
// The date lies in a month after the declaration month.
bool isAfterDeclarationMonth(const QDate &date, int year, int month);
} // namespace rowcheck

// Whether a cell of a main window grid is drawn in the highlight colour: the row, the cell's column
// name and the options. The rules of each grid run in order; any one may colour the cell.
bool highlightInvoiceCell(const RowView &row, QStringView column, const HighlightOptions &options,
                          const DeclarationMonth &declaration);
bool highlightProductionCell(const RowView &row, QStringView column, const HighlightOptions &options);
bool highlightTransferCell(const RowView &row, QStringView column, const HighlightOptions &options);

} // namespace kalvor
