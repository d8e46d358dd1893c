#pragma once

#include "reports/ReportSpan.h"
#include "sheets/SheetLayout.h"

#include <QString>

#include <vector>

namespace kalvor {
class Table;
}

namespace kalvor::dbupload {
class DbRows;
}

namespace kalvor::reports {

// One line of the completeness report: a trading object registered in the database, or a subdivision
// code of the declaration that matches none of them. The list grows with the table.
struct ObjectEntry {
    QString inn; // the row's dkey for an unmatched code
    QString code;
    QString date;
    QString raion;
    QString status; // "-1" for an unmatched code
    QString suspended;
    QString saved;
    qint64 rows = 0; // declaration rows carrying the code
    bool registered = false;
};

// The registered objects of REP_OBJECTS_BY_PERIOD, in result order, each with no rows yet.
std::vector<ObjectEntry> registeredObjects(const dbupload::DbRows &rows);

// Counts every row of the declaration (all kinds) against the entries by subdivision code: each entry
// whose code equals the row's counts it; a code no entry has gets an entry of its own, its inner
// transfer codes appended as " (inner->charges)" when the row has any. A row without a code matches
// nothing and always gets an entry of its own.
void countDeclarationRows(std::vector<ObjectEntry> &entries, Table &declaration);

// The entries laid out on the template of the completeness report: the header text in (3, 1), one line
// per entry from row 8, red where no row carries a registered code.
sheets::SheetLayout layOutObjects(const sheets::SheetLayout &templ, const std::vector<ObjectEntry> &entries,
                                  const QString &headerText);

// The status column: a status other than 0 with its suspension date in brackets; a status that is not
// a whole number as it stands.
QString statusText(const ObjectEntry &entry);

} // namespace kalvor::reports
