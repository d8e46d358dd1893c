#pragma once

#include "app/Progress.h"
#include "sheets/SheetLayout.h"
#include "store/RowView.h"
#include "store/TKalvor.h"

#include <QString>

#include <optional>

namespace kalvor {
class Table;
}

namespace kalvor::sheets {

// The checks of one report and the size of its list.
struct ErrorReportOptions {
    bool rest = true;           // remains at the end of the month below zero: red
    bool empty = true;          // empty fields: fuchsia
    bool ttnDate = true;        // waybill date after the month reported: blue
    bool productionCode = true; // kind code outside 1..8: olive
    bool vodka = true;          // a half-litre of vodka bought below the vodka threshold: red
    bool cognac = true;         // a half-litre of cognac bought below the cognac threshold: red
    double vodkaThreshold = 85.5;
    double cognacThreshold = 167;
    int maxRecords = 100; // slots of the list; the table's first row always takes the first one
    int year = 0;         // the month reported, for the waybill dates (four-digit year, month 1-12)
    int month = 0;
};

inline constexpr Rgb kErrorRed = 0xFF0000;
inline constexpr Rgb kErrorFuchsia = 0xFF00FF;
inline constexpr Rgb kErrorOlive = 0x808000;
inline constexpr Rgb kErrorBlue = 0x0000FF;

// The texts of the report's settings as the user types them.
inline constexpr const char *kRecordCountRefusal = "Максимальное количество записей некорректно!";
inline constexpr int kMaxRecordCount = 10000;
// The record count: a whole number from 1 to 10000, else nothing.
std::optional<int> readRecordCount(QStringView text);
// A price threshold: a number with a decimal comma (or point), else nothing.
std::optional<double> readThreshold(QStringView text);
// What is said when a threshold is not a number; `field` is the caption of its box.
QString thresholdRefusal(const QString &field, const QString &text);

// The colour a row is listed in under these options, or nothing when it passes every check that is on.
// Of several failed checks the first in the order remains, empty fields, kind code, vodka, cognac,
// waybill date decides.
std::optional<Rgb> errorColour(const RowView &row, const ErrorReportOptions &options);

struct ErrorReportSources {
    const Table *declaration = nullptr; // open; its rows are taken in key order
    TKalvor requisites;
    QString periodDate; // "март 2012"
};

struct ErrorReport {
    SheetLayout sheet;
    int listed = 0;        // rows listed
    bool complete = false; // false when cancelled while the rows were checked
};

// The report on a template sheet (tamrelError.xlsx): the head, then from row 32 the suspicious rows of
// the declaration, each with its invoice's columns where its invoice begins, in the colour of its error,
// and under them the line "Всего - N. Возможны и другие ошибки в отчете". Progress runs twice: over the
// table's rows while they are checked (a cancel is seen after each), then over the list's slots.
ErrorReport layOutErrorReport(SheetLayout templateSheet, const ErrorReportSources &sources,
                              const ErrorReportOptions &options, const Progress &progress = {});

} // namespace kalvor::sheets
