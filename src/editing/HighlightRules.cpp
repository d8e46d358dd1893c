#include "editing/HighlightRules.h"

#include <array>

namespace kalvor {
namespace rowcheck {

bool isEmpty(const RowView &row, int field) { return field < 0 || row.isNull(field) || row.utf8(field).empty(); }

bool isPresent(const RowView &row, QStringView name) { return !isEmpty(row, row.fieldIndex(name)); }

double numberOrZero(const RowView &row, QStringView name)
{
    const int field = row.fieldIndex(name);
    return field < 0 || row.isNull(field) ? 0.0 : row.asFloat(field);
}

bool restIsBad(const RowView &row, int restField)
{
    if (isEmpty(row, restField))
        return true;
    bool ok = false;
    const double rest = row.asString(restField).toDouble(&ok);
    return ok && rest < 0;
}

bool productionCodeIsBad(const RowView &row, int codeField)
{
    if (isEmpty(row, codeField))
        return true;
    bool ok = false;
    const int code = row.asString(codeField).toInt(&ok);
    return ok && (code < 1 || code > 8);
}

bool isAfterDeclarationMonth(const QDate &date, int year, int month)
{
    return date.year() > year || (date.year() == year && date.month() > month);
}

} // namespace rowcheck

namespace {

template <std::size_t N>
bool isOneOf(QStringView column, const std::array<QStringView, N> &names)
{
    for (QStringView name : names)
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool is(QStringView column, QStringView name) { return column.compare(name, Qt::CaseInsensitive) == 0; }

// The empty-field rule of a grid: the cell's own column, when it is one the rule looks at.
template <std::size_t N>
bool emptyRule(const RowView &row, QStringView column, const std::array<QStringView, N> &checked)
{
    return isOneOf(column, checked) && rowcheck::isEmpty(row, row.fieldIndex(column));
}

constexpr std::array<QStringView, 6> kInvoiceRequired{u"supply_name", u"license", u"license_date",
                                                      u"ttn_numer",   u"ttn_date", u"loading_address"};
constexpr std::array<QStringView, 7> kPositionRequired{u"rest",          u"production_name", u"production_number",
                                                       u"producer_name", u"production_code", u"region_code",
                                                       u"department_code"};
constexpr std::array<QStringView, 4> kTransferRequired{u"department_code_inner", u"other_coming", u"department_code",
                                                       u"rest"};

} // namespace

bool highlightInvoiceCell(const RowView &row, QStringView column, const HighlightOptions &options,
                          const DeclarationMonth &declaration)
{
    if (!options.CheckErrors || !row.isValid())
        return false;
    if (options.Chk_empty && emptyRule(row, column, kInvoiceRequired))
        return true;
    if (options.Chk_TTN_DATE && is(column, u"ttn_date")) {
        const int field = row.fieldIndex(u"ttn_date");
        if (rowcheck::isEmpty(row, field))
            return true;
        const QDate date = row.asDate(field);
        if (date.isValid() && declaration.year
            && rowcheck::isAfterDeclarationMonth(date, *declaration.year, declaration.month))
            return true;
    }
    return false;
}

bool highlightProductionCell(const RowView &row, QStringView column, const HighlightOptions &options)
{
    if (!options.CheckErrors || !row.isValid())
        return false;
    if (options.Chk_rest && is(column, u"rest") && rowcheck::restIsBad(row, row.fieldIndex(u"rest")))
        return true;
    if (options.Chk_empty && emptyRule(row, column, kPositionRequired))
        return true;
    return options.Chk_Production_Code && is(column, u"production_code")
           && rowcheck::productionCodeIsBad(row, row.fieldIndex(u"production_code"));
}

bool highlightTransferCell(const RowView &row, QStringView column, const HighlightOptions &options)
{
    if (!options.CheckErrors || !row.isValid())
        return false;
    if (options.Chk_rest && is(column, u"rest") && rowcheck::restIsBad(row, row.fieldIndex(u"rest")))
        return true;
    return options.Chk_empty && emptyRule(row, column, kTransferRequired);
}

} // namespace kalvor
