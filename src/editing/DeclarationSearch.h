#pragma once

#include <QString>
#include <QStringView>

namespace kalvor {
class Table;
}

namespace kalvor::search {

inline constexpr const char *kEnterWaybillMessage = "Введите номер накладной! ";
// "Накладной с номером " + number + " не найдена! "
QString waybillNotFoundMessage(const QString &number);
inline constexpr const char *kLastNegativeRestMessage =
    "Достигнут последний элемент поиска. Поиск будет начат сначала. Запустите поиск сначала! ";
inline constexpr const char *kNoNegativeRestMessage = "Отрицательных остатков не найдено! ";
inline constexpr const char *kPriceListingDoneMessage = "Данные выгружены:  ( см. файл log1.txt)";

// Index (0-based, in the view's order) of the first invoice whose waybill number equals the text
// exactly, case and blanks included; -1 when none does.
int findInvoiceByWaybill(const Table &invoices, const QString &number);

// One step through the rows with negative closing remains, in key order.
struct NegativeRestStep {
    QString found;         // key of the row to show; empty when the declaration has no such row
    bool reachedEnd = false; // the previous step had shown the last one: the user is told, the next step starts over
    QString nextSearchKey; // what the next step starts after
};
// `rows`: every row of the declaration ordered by key. `searchKey`: the key the last step found, or
// empty to start from the first. A key no longer among them (its remains were corrected meanwhile)
// continues with the first such row after it in key order.
NegativeRestStep nextNegativeRest(const Table &rows, const QString &searchKey);

// Index of the first invoice of the view that the row belongs to (same INN, period and invoice
// number); -1 when none does.
int findInvoiceOf(const Table &invoices, QStringView rowKey);

// The price listing: every position or transfer row of vodka (item 0: kind 1, 0.5 l packages) or
// cognac (item 1: kind 3, 0.7 l) whose purchase price is at least the threshold goes into the log as
// a line "dkey=" + key, lines ending in CR LF; the file is written anew. A threshold that is not a
// number throws KalvorError before the file is touched. Returns the number of lines.
int writePriceListing(const Table &rows, int itemIndex, const QString &threshold, const QString &logFileName);

} // namespace kalvor::search
