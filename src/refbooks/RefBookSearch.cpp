#include "refbooks/RefBookSearch.h"

#include "store/Table.h"

namespace kalvor {
namespace {

// Walks from the row after (or before) the current one; the current row is never tested, also at the
// ends of the table, so a repeated search moves on instead of finding its own row again.
bool search(Table &table, QStringView field, const QString &text, int step)
{
    if (!table.isActive() || table.isEmpty())
        return false;
    const int column = table.requireField(field);
    const QString wanted = text.toLower();
    const int count = table.recordCount();
    const int start = table.recNo() - 1;
    for (int i = start + step; i >= 0 && i < count; i += step) {
        if (table.row(i).asString(column).toLower().contains(wanted)) {
            table.setRecNo(i + 1);
            return true;
        }
    }
    return false;
}

} // namespace

bool nameContains(const QString &name, const QString &text) { return name.toLower().contains(text.toLower()); }

bool searchForward(Table &table, QStringView field, const QString &text)
{
    return search(table, field, text, 1) || search(table, field, text, -1);
}

bool searchBackward(Table &table, QStringView field, const QString &text) { return search(table, field, text, -1); }

bool searchIncremental(Table &table, QStringView field, const QString &text)
{
    if (table.isActive() && !table.isEmpty() && nameContains(table.asString(field), text))
        return true;
    return searchForward(table, field, text);
}

bool startsIncrementalSearch(QChar c)
{
    const char16_t u = c.unicode();
    const bool digit = u >= u'0' && u <= u'9';
    const bool latin = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z');
    // А..я, and Ё/ё, which product names use too.
    const bool cyrillic = (u >= 0x0410 && u <= 0x044F) || u == 0x0401 || u == 0x0451;
    return digit || latin || cyrillic;
}

} // namespace kalvor
