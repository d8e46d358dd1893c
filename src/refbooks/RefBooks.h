#pragma once

#include "store/FieldDef.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kalvor {

class RowView;
class Table;

// The five reference books of the reports folder.
enum class RefBook { Supplier, ProductionReference, DepartmentCode, Regions, KindProduction };

// The name the user knows the book by, as in the "Справочники" menu.
QString refBookTitle(RefBook book);
// The field the book is shown ordered by.
QString refBookOrder(RefBook book);
// The columns of the book's file, for a book that has to be made anew.
QList<FieldDef> refBookFields(RefBook book);
// Whether the user keeps the book (add, edit, delete) or it only comes with the program.
bool refBookEditable(RefBook book);

// Opens a book with its ordering. A missing or unreadable file leaves the table closed; the result is
// then the message that says which file and what it means for the window, else empty.
QString openRefBook(Table &table, const QString &fileName, RefBook book);
// Makes an empty book file when there is none, so that the first entry has somewhere to go. An existing
// file is never touched, readable or not. Throws KalvorError when the file cannot be written.
void createRefBookIfMissing(const QString &fileName, RefBook book);

// Edit and delete need a current row.
bool canEditOrDelete(const Table &table);

// --- entry of a book row ------------------------------------------------------------------------

enum class EntryMode { Add, Edit };
// Prepares the entry dialog's own table over the book: same order as the window, so that the window's
// record number names the same row here; then a new row, or the row at recNo in edit state.
void beginEntry(Table &entry, const QString &fileName, RefBook book, EntryMode mode, int recNo = 0);
// Posts the entry, writes the whole table to its book and returns the entry's record number in the
// book's order (where the window's cursor should go after reopening).
int saveEntry(Table &entry);
// Deletes the current row and writes the book; the table is reopened at the row that took its place.
void deleteCurrentEntry(Table &table);
// Reopens a table (re-reading its file) and moves to recNo, clamped to the rows there are.
void reopenAt(Table &table, int recNo);

// --- subdivisions -------------------------------------------------------------------------------

QString departmentLimitMessage(qint64 departmentCount);
// Empty when one more subdivision fits the number the requisites declare, else the limit message.
QString departmentLimitRefusal(int subdivisions, qint64 departmentCount);
// department_count of a requisites table's first row; 0 when empty.
qint64 departmentCountOf(const Table &kalvor);

// --- production reference entries ---------------------------------------------------------------

// The fields a copied entry takes from its source, in order.
const QStringList &productionEntryFields();
// Copies those fields from a row into the entry being edited; NULLs stay NULL.
void copyProductionEntry(const RowView &source, Table &entry);

// What keeps a production entry from being saved; each flag paints its field.
struct ProductionEntryCheck {
    bool productionNameEmpty = false;
    bool producerNameEmpty = false;
    bool packageVolumeWrong = false; // empty, or not above 0
    bool kindUnknown = false;        // no row of the kinds book has this code
    bool regionUnknown = false;      // no row of the regions book has this code

    bool passed() const
    {
        return !productionNameEmpty && !producerNameEmpty && !packageVolumeWrong && !kindUnknown && !regionUnknown;
    }
};
ProductionEntryCheck checkProductionEntry(const RowView &entry, const Table &kinds, const Table &regions);
// Whether a drop-down over the reference would show text for this code: a row with the code exists.
bool referenceHasCode(const Table &reference, const QString &code);

} // namespace kalvor
