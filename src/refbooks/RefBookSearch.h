#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

namespace kalvor {

class Table;

// Case-insensitive substring test of a product name against the search text.
bool nameContains(const QString &name, const QString &text);

// ">": moves to the first row after the current one whose field contains the text; when there is none
// after it, searches backwards as "<" does. "<": the nearest matching row before the current one.
// The row the search starts from is never a match of its own. True when the cursor moved to a match;
// otherwise it stays where it was.
bool searchForward(Table &table, QStringView field, const QString &text);
bool searchBackward(Table &table, QStringView field, const QString &text);

// While the user types: stays on the current row when it still contains the longer text, else ">".
// (Starting after the current row would skip the entry the first letters already found.)
bool searchIncremental(Table &table, QStringView field, const QString &text);

// Keys that run the incremental search when released: digits, Latin and Cyrillic letters.
bool startsIncrementalSearch(QChar c);

} // namespace kalvor
