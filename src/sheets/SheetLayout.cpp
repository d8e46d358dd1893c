#include "sheets/SheetLayout.h"

#include "store/KalvorError.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

namespace kalvor::sheets {

namespace {

// The largest sheet the xlsx format holds.
constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

const std::vector<SheetLayout::Merge> kNoMerges;
const std::vector<SheetLayout::ColourSpan> kNoColours;
const CellFormat kDefaultFormat;

bool cellBefore(const SheetLayout::Cell &cell, int column)
{
    return cell.column < column;
}

} // namespace

// --- values -----------------------------------------------------------------------------------------

SheetLayout::Value SheetLayout::Value::ofText(const QString &text)
{
    Value v;
    if (!text.isEmpty()) {
        v.kind = Kind::Text;
        v.text = text;
    }
    return v;
}

SheetLayout::Value SheetLayout::Value::ofNumber(double number)
{
    Value v;
    v.kind = Kind::Number;
    v.number = number;
    return v;
}

SheetLayout::Value SheetLayout::Value::ofDate(const QDate &date)
{
    Value v;
    if (date.isValid()) {
        v.kind = Kind::Date;
        v.date = date;
    }
    return v;
}

double SheetLayout::Cell::number() const
{
    return std::bit_cast<double>(bits);
}

std::int64_t SheetLayout::Cell::julianDay() const
{
    return std::bit_cast<std::int64_t>(bits);
}

QDate SheetLayout::Cell::date() const
{
    return QDate::fromJulianDay(julianDay());
}

// --- the sheet --------------------------------------------------------------------------------------

SheetLayout::SheetLayout() = default;

void SheetLayout::checkRow(int row) const
{
    if (row < 1 || row > kMaxRows)
        throw KalvorError(QStringLiteral("Строка листа %1 вне допустимых пределов").arg(row));
}

void SheetLayout::checkColumn(int column)
{
    if (column < 1 || column > kMaxColumns)
        throw KalvorError(QStringLiteral("Столбец листа %1 вне допустимых пределов").arg(column));
}

SheetLayout::Row &SheetLayout::rowAt(int row)
{
    checkRow(row);
    if (row > rowCount())
        m_rows.resize(static_cast<std::size_t>(row));
    return m_rows[static_cast<std::size_t>(row - 1)];
}

const SheetLayout::Row *SheetLayout::findRow(int row) const
{
    if (row < 1 || row > rowCount())
        return nullptr;
    return &m_rows[static_cast<std::size_t>(row - 1)];
}

int SheetLayout::columnCount() const
{
    int last = 0;
    for (const Row &r : m_rows) {
        if (!r.cells.empty())
            last = std::max<int>(last, r.cells.back().column);
        for (const Merge &m : r.merges)
            last = std::max<int>(last, m.lastColumn);
    }
    for (const TemplateRow &t : m_templateRows)
        if (!t.cells.empty())
            last = std::max<int>(last, t.cells.back().column);
    return std::max(last, static_cast<int>(m_columns.size()));
}

std::span<const SheetLayout::Cell> SheetLayout::cells(int row) const
{
    const Row *r = findRow(row);
    return r ? std::span<const Cell>(r->cells) : std::span<const Cell>();
}

std::string_view SheetLayout::utf8(const Cell &cell) const
{
    if (cell.kind != Kind::Text)
        return {};
    return std::string_view(m_text).substr(cell.bits >> 32, cell.bits & 0xFFFFFFFFu);
}

QString SheetLayout::text(const Cell &cell) const
{
    const std::string_view s = utf8(cell);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

SheetLayout::Value SheetLayout::value(int row, int column) const
{
    const std::span<const Cell> all = cells(row);
    const auto it = std::lower_bound(all.begin(), all.end(), column, cellBefore);
    if (it == all.end() || it->column != column)
        return {};
    switch (it->kind) {
    case Kind::Text:
        return Value::ofText(text(*it));
    case Kind::Number:
        return Value::ofNumber(it->number());
    case Kind::Date:
        return Value::ofDate(it->date());
    case Kind::Empty:
        break;
    }
    return {};
}

QString SheetLayout::textAt(int row, int column) const
{
    const Value v = value(row, column);
    switch (v.kind) {
    case Kind::Text:
        return v.text;
    case Kind::Number:
        return QString::number(v.number, 'g', 15);
    case Kind::Date:
        return v.date.toString(QStringLiteral("dd.MM.yyyy"));
    case Kind::Empty:
        break;
    }
    return {};
}

QString SheetLayout::displayText(int row, int column) const
{
    const Value v = value(row, column);
    switch (v.kind) {
    case Kind::Text:
        return v.text;
    case Kind::Number:
        return formatNumber(v.number, format(formatIndexAt(row, column)).numberFormat);
    case Kind::Date:
        return v.date.toString(QStringLiteral("dd.MM.yyyy"));
    case Kind::Empty:
        break;
    }
    return {};
}

int SheetLayout::formatRow(int row) const
{
    const Row *r = findRow(row);
    return r ? r->formatRow : 0;
}

const std::vector<SheetLayout::Merge> &SheetLayout::merges(int row) const
{
    const Row *r = findRow(row);
    return r ? r->merges : kNoMerges;
}

double SheetLayout::height(int row) const
{
    const Row *r = findRow(row);
    return r ? r->height : 0;
}

bool SheetLayout::hidden(int row) const
{
    const Row *r = findRow(row);
    return r && r->hidden;
}

const std::vector<SheetLayout::ColourSpan> &SheetLayout::fontColours(int row) const
{
    const Row *r = findRow(row);
    return r ? r->colours : kNoColours;
}

std::optional<Rgb> SheetLayout::fontColourAt(int row, int column) const
{
    const std::vector<ColourSpan> &spans = fontColours(row);
    // Later spans were set later and win.
    for (auto it = spans.rbegin(); it != spans.rend(); ++it)
        if (column >= it->firstColumn && column <= it->lastColumn)
            return it->colour;
    return std::nullopt;
}

const CellFormat &SheetLayout::format(int index) const
{
    if (index < 0 || index >= formatCount())
        return kDefaultFormat;
    return m_formats[static_cast<std::size_t>(index)];
}

int SheetLayout::formatIndexAt(int row, int column) const
{
    const int source = formatRow(row);
    if (source >= 1 && source <= static_cast<int>(m_templateRows.size())) {
        const TemplateRow &t = m_templateRows[static_cast<std::size_t>(source - 1)];
        const auto it = std::lower_bound(t.cells.begin(), t.cells.end(), column,
                                         [](const TemplateCell &c, int col) { return c.column < col; });
        if (it != t.cells.end() && it->column == column)
            return it->format;
        if (t.rowFormat >= 0)
            return t.rowFormat;
    }
    if (column >= 1 && column <= static_cast<int>(m_columns.size()) &&
        m_columns[static_cast<std::size_t>(column - 1)].format >= 0)
        return m_columns[static_cast<std::size_t>(column - 1)].format;
    return 0;
}

double SheetLayout::columnWidth(int column) const
{
    if (column >= 1 && column <= static_cast<int>(m_columns.size())) {
        const Column &c = m_columns[static_cast<std::size_t>(column - 1)];
        if (c.hidden)
            return 0;
        if (c.width >= 0)
            return c.width;
    }
    return m_defaultColumnWidth;
}

SheetLayout::Page SheetLayout::page() const
{
    Page p = m_page;
    if (p.firstRepeatRow > 0) {
        // The heading rows are named as template rows; find where they are now.
        const std::vector<int> at = templateRowPositions();
        int first = 0;
        int last = 0;
        for (int t = p.firstRepeatRow; t <= p.lastRepeatRow && t < static_cast<int>(at.size()); ++t) {
            if (at[static_cast<std::size_t>(t)] == 0)
                continue;
            if (first == 0)
                first = at[static_cast<std::size_t>(t)];
            last = at[static_cast<std::size_t>(t)];
        }
        p.firstRepeatRow = first;
        p.lastRepeatRow = last;
    }
    return p;
}

// --- editing ----------------------------------------------------------------------------------------

SheetLayout::Cell SheetLayout::makeText(int column, std::string_view utf8)
{
    if (m_text.size() + utf8.size() > std::numeric_limits<std::uint32_t>::max())
        throw KalvorError(QStringLiteral("Слишком много текста для одного листа"));
    Cell cell;
    cell.column = static_cast<std::uint16_t>(column);
    cell.kind = Kind::Text;
    cell.bits = (static_cast<std::uint64_t>(m_text.size()) << 32) | static_cast<std::uint32_t>(utf8.size());
    m_text.append(utf8);
    return cell;
}

SheetLayout::Cell SheetLayout::makeCell(int column, const Value &value)
{
    Cell cell;
    cell.column = static_cast<std::uint16_t>(column);
    cell.kind = value.kind;
    switch (value.kind) {
    case Kind::Text: {
        const QByteArray utf8 = value.text.toUtf8();
        return makeText(column, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    case Kind::Number:
        cell.bits = std::bit_cast<std::uint64_t>(value.number);
        break;
    case Kind::Date:
        cell.bits = std::bit_cast<std::uint64_t>(static_cast<std::int64_t>(value.date.toJulianDay()));
        break;
    case Kind::Empty:
        break;
    }
    return cell;
}

void SheetLayout::place(int row, const Cell &cell)
{
    Row &r = rowAt(row);
    const auto it = std::lower_bound(r.cells.begin(), r.cells.end(), cell.column, cellBefore);
    const bool present = it != r.cells.end() && it->column == cell.column;
    if (cell.kind == Kind::Empty) {
        if (present)
            r.cells.erase(it);
    } else if (present) {
        *it = cell;
    } else {
        r.cells.insert(it, cell);
    }
}

void SheetLayout::setCell(int row, int column, const Value &value)
{
    checkColumn(column);
    checkRow(row);
    place(row, makeCell(column, value));
}

void SheetLayout::setTextUtf8(int row, int column, std::string_view utf8)
{
    checkColumn(column);
    checkRow(row);
    if (utf8.empty()) {
        place(row, Cell{0, static_cast<std::uint16_t>(column), Kind::Empty});
        return;
    }
    place(row, makeText(column, utf8));
}

template <typename F> void SheetLayout::forMergesReaching(int row, F &&f)
{
    // Only merges at most m_tallestMerge rows tall exist, so only that many rows above can reach here.
    const int top = std::max(1, row - m_tallestMerge + 1);
    for (int anchor = std::min(row - 1, rowCount()); anchor >= top; --anchor) {
        std::vector<Merge> &merges = m_rows[static_cast<std::size_t>(anchor - 1)].merges;
        for (std::size_t i = 0; i < merges.size(); ++i)
            if (anchor + merges[i].rows - 1 >= row)
                f(anchor, merges[i]);
    }
}

void SheetLayout::insertRow(int row)
{
    checkRow(row);
    if (row > rowCount() + 1)
        rowAt(row - 1);
    Row blank;
    if (row > 1) {
        const Row &above = m_rows[static_cast<std::size_t>(row - 2)];
        blank.formatRow = above.formatRow;
        blank.height = above.height;
        blank.colours = above.colours;
    }
    // A merged area that spans the insertion point grows by the new row.
    forMergesReaching(row, [this](int, Merge &m) {
        ++m.rows;
        m_tallestMerge = std::max(m_tallestMerge, m.rows);
    });
    m_rows.insert(m_rows.begin() + (row - 1), std::move(blank));
}

void SheetLayout::deleteRow(int row)
{
    checkRow(row);
    if (row > rowCount())
        return;
    forMergesReaching(row, [](int, Merge &m) { --m.rows; });
    Row &gone = m_rows[static_cast<std::size_t>(row - 1)];
    // A merged area that starts here and goes on below continues from the next row.
    std::vector<Merge> carried;
    for (Merge m : gone.merges)
        if (m.rows > 1) {
            --m.rows;
            carried.push_back(m);
        }
    m_rows.erase(m_rows.begin() + (row - 1));
    if (!carried.empty() && row <= rowCount()) {
        std::vector<Merge> &below = m_rows[static_cast<std::size_t>(row - 1)].merges;
        below.insert(below.end(), carried.begin(), carried.end());
    }
    // Areas shrunk to a single cell are no merges any more.
    const int top = std::max(1, row - m_tallestMerge);
    for (int anchor = top; anchor <= std::min(row, rowCount()); ++anchor) {
        std::vector<Merge> &merges = m_rows[static_cast<std::size_t>(anchor - 1)].merges;
        std::erase_if(merges,
                      [](const Merge &m) { return m.rows < 1 || (m.rows == 1 && m.firstColumn == m.lastColumn); });
    }
}

void SheetLayout::copyRows(int first, int last, int destination)
{
    checkRow(first);
    checkRow(last);
    checkRow(destination);
    if (last < first)
        return;
    const int count = last - first + 1;
    checkRow(destination + count - 1);
    // Taken first, since the source and the destination may overlap.
    std::vector<Row> source;
    source.reserve(static_cast<std::size_t>(count));
    for (int r = first; r <= last; ++r) {
        Row copy;
        if (const Row *from = findRow(r)) {
            copy = *from;
            // A merged area is pasted as far as the copied rows reach.
            for (Merge &m : copy.merges)
                m.rows = std::min(m.rows, last - r + 1);
            std::erase_if(copy.merges, [](const Merge &m) { return m.rows == 1 && m.firstColumn == m.lastColumn; });
        }
        source.push_back(std::move(copy));
    }
    rowAt(destination + count - 1);
    // Areas from above that reached into the pasted rows end where the paste begins.
    forMergesReaching(destination, [destination](int anchor, Merge &m) { m.rows = destination - anchor; });
    const int top = std::max(1, destination - m_tallestMerge + 1);
    for (int anchor = top; anchor < destination; ++anchor)
        std::erase_if(m_rows[static_cast<std::size_t>(anchor - 1)].merges,
                      [](const Merge &m) { return m.rows == 1 && m.firstColumn == m.lastColumn; });
    for (int i = 0; i < count; ++i) {
        Row &to = m_rows[static_cast<std::size_t>(destination - 1 + i)];
        const int origin = to.origin; // pasting changes what a row holds, not which row it is
        to = std::move(source[static_cast<std::size_t>(i)]);
        to.origin = origin;
    }
}

void SheetLayout::setFontColour(int firstRow, int lastRow, int firstColumn, int lastColumn, Rgb colour)
{
    checkColumn(firstColumn);
    checkColumn(lastColumn);
    if (lastRow < firstRow || lastColumn < firstColumn)
        return;
    for (int row = firstRow; row <= lastRow; ++row) {
        std::vector<ColourSpan> &spans = rowAt(row).colours;
        // Spans the new one covers are gone for good, so repeated colouring of a row stays one span.
        std::erase_if(spans,
                      [&](const ColourSpan &s) { return s.firstColumn >= firstColumn && s.lastColumn <= lastColumn; });
        spans.push_back({static_cast<std::uint16_t>(firstColumn), static_cast<std::uint16_t>(lastColumn), colour});
    }
}

// --- building ---------------------------------------------------------------------------------------

void SheetLayout::startFromTemplate(std::vector<TemplateRow> templateRows, std::vector<CellFormat> formats)
{
    m_templateRows = std::move(templateRows);
    m_formats = std::move(formats);
    m_rows.clear();
    m_text.clear();
    m_tallestMerge = 1;
    m_rows.resize(m_templateRows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].formatRow = static_cast<int>(i + 1);
        m_rows[i].origin = static_cast<int>(i + 1);
    }
}

void SheetLayout::setHeight(int row, double points)
{
    rowAt(row).height = static_cast<float>(std::max(0.0, points));
}

void SheetLayout::setHidden(int row, bool hidden)
{
    rowAt(row).hidden = hidden;
}

void SheetLayout::addMerge(int row, const Merge &merge)
{
    checkColumn(merge.firstColumn);
    checkColumn(merge.lastColumn);
    if (merge.rows < 1 || merge.lastColumn < merge.firstColumn)
        return;
    checkRow(row + merge.rows - 1);
    rowAt(row).merges.push_back(merge);
    m_tallestMerge = std::max(m_tallestMerge, merge.rows);
}

void SheetLayout::setDefaults(double rowHeight, double columnWidth)
{
    if (rowHeight > 0)
        m_defaultRowHeight = rowHeight;
    if (columnWidth > 0)
        m_defaultColumnWidth = columnWidth;
}

void SheetLayout::setPage(const Page &page)
{
    m_page = page;
}

std::vector<int> SheetLayout::templateRowPositions() const
{
    std::vector<int> at(m_templateRows.size() + 1, 0);
    for (int r = 1; r <= rowCount(); ++r) {
        const int origin = m_rows[static_cast<std::size_t>(r - 1)].origin;
        if (origin > 0 && origin < static_cast<int>(at.size()))
            at[static_cast<std::size_t>(origin)] = r;
    }
    return at;
}

// --- numbers as cells show them ---------------------------------------------------------------------

NumberStyle NumberStyle::of(const QString &numberFormat)
{
    // The first section of the code, without quoted text, escapes and [colour] or [condition] parts.
    QString code;
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < numberFormat.size(); ++i) {
        const QChar c = numberFormat[i];
        if (c == u'\\') {
            ++i;
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'[')
            ++bracket;
        else if (c == u']')
            bracket = std::max(0, bracket - 1);
        else if (c == u';' && bracket == 0)
            break;
        else if (bracket == 0)
            code += c;
    }
    NumberStyle style;
    const QString lower = code.toLower();
    if (lower.contains(u'y') || lower.contains(u'd') || (lower.contains(u'm') && !lower.contains(u'0'))) {
        style.kind = Kind::Date;
    } else if (code.contains(u'0') || code.contains(u'#')) {
        style.kind = Kind::Fixed;
        style.percent = code.contains(u'%');
        const qsizetype point = code.indexOf(u'.');
        for (qsizetype i = point + 1; point >= 0 && i < code.size() && (code[i] == u'0' || code[i] == u'#'); ++i)
            ++style.decimals;
    }
    return style;
}

std::string_view formatDate(QDate date, NumberText &buffer)
{
    int year = 0;
    int month = 0;
    int day = 0;
    date.getDate(&year, &month, &day);
    if (!date.isValid())
        return {};
    if (year < 1 || year > 9999) {
        const QByteArray text = date.toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
        const auto n = std::min<std::size_t>(std::size_t(text.size()), buffer.size());
        std::copy_n(text.constData(), n, buffer.data());
        return {buffer.data(), n};
    }
    const int digits[] = {day / 10, day % 10, -1, month / 10, month % 10, -1,
                          year / 1000, year / 100 % 10, year / 10 % 10, year % 10};
    std::size_t n = 0;
    for (const int d : digits)
        buffer[n++] = d < 0 ? '.' : char('0' + d);
    return {buffer.data(), n};
}

std::string_view formatNumber(double value, const NumberStyle &style, NumberText &buffer)
{
    if (style.kind == NumberStyle::Kind::Date)
        return formatDate(QDate::fromJulianDay(2415019 + static_cast<qint64>(std::floor(value))), buffer);
    char *const begin = buffer.data();
    char *end = begin;
    // A double's shortest fixed text fits the buffer up to this many decimals; beyond, and for the
    // general form, Qt's own formatting (rarely used).
    constexpr int kFastDecimals = 30;
    if (style.kind == NumberStyle::Kind::Fixed && style.decimals <= kFastDecimals) {
        const auto result = std::to_chars(begin, begin + buffer.size() - 1, style.percent ? value * 100 : value,
                                          std::chars_format::fixed, style.decimals);
        end = result.ec == std::errc() ? result.ptr : begin;
    } else {
        const QByteArray text =
            (style.kind == NumberStyle::Kind::Fixed
                 ? QString::number(style.percent ? value * 100 : value, 'f', style.decimals)
                 : QString::number(value, 'g', 15))
                .toLatin1();
        end = std::copy_n(text.constData(), std::min<qsizetype>(text.size(), qsizetype(buffer.size()) - 1), begin);
    }
    if (style.kind == NumberStyle::Kind::Fixed && style.percent)
        *end++ = '%';
    const bool zero = std::all_of(begin, end, [](char c) { return c == '-' || c == '0' || c == '.'; });
    char *from = begin;
    if (zero && from != end && *from == '-')
        ++from; // no minus on a zero
    std::replace(from, end, '.', ',');
    return {from, std::size_t(end - from)};
}

QString formatNumber(double value, const QString &numberFormat)
{
    NumberText buffer;
    const std::string_view text = formatNumber(value, NumberStyle::of(numberFormat), buffer);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// --- column letters ---------------------------------------------------------------------------------

QString columnName(int column)
{
    QString name;
    while (column > 0) {
        const int digit = (column - 1) % 26;
        name.prepend(QChar(u'A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

int columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        column = column * 26 + (u - u'A' + 1);
    }
    return column <= kMaxColumns ? column : 0;
}

} // namespace kalvor::sheets
