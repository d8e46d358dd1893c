#include "sheets/print/SheetPages.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

namespace kalvor::sheets::print {

namespace {

constexpr double kPointsPerMm = 72 / 25.4;
constexpr double kPointsPerInch = 72;
constexpr double kColumnPadding = 3.75;   // what a column adds to its characters: five pixels at 96 dpi
constexpr double kHPad = 2.0;             // text to the cell's side, at the sheet's own type size
constexpr double kVPad = 1.0;             // text to the cell's top and bottom
constexpr double kMinShare = 0.5;         // of its share of the sheet's width, what a column keeps
constexpr double kLongestWordShare = 1.5; // a word wider than this many times its column may break
constexpr double kWrapFloor = 0.7;        // a word too long for its cell shrinks at most so far, then breaks
constexpr double kHeadingFloor = 0.85;    // how far a heading may shrink so that none of its words breaks
constexpr double kTextFloor = 0.6;        // a one-line text shrinks at most so far, then is cut at the cell
constexpr double kBorderWidth = 0.5;
constexpr double kFooterSize = 8;
constexpr double kSame = 0.01; // points: closer edges are one edge

bool isSpace(char32_t c)
{
    return c == u' ' || c == u'\n';
}

bool isHyphen(char32_t c)
{
    return c == u'-' || c == 0x2010;
}

const SheetLayout::Merge *mergeAt(const std::vector<SheetLayout::Merge> &merges, int column)
{
    for (const SheetLayout::Merge &m : merges)
        if (m.firstColumn == column)
            return &m;
    return nullptr;
}

const SheetLayout::Cell *cellAt(std::span<const SheetLayout::Cell> cells, int column)
{
    const auto it = std::lower_bound(cells.begin(), cells.end(), column,
                                     [](const SheetLayout::Cell &c, int col) { return c.column < col; });
    return it != cells.end() && it->column == column ? &*it : nullptr;
}

// Borders of one page joined into long lines: edges that meet or overlap along one line become one.
class Edges final {
public:
    void add(double at, double from, double to)
    {
        std::vector<Span> *spans = nullptr;
        for (auto it = m_lines.rbegin(); it != m_lines.rend(); ++it)
            if (std::abs(it->first - at) < kSame) {
                spans = &it->second;
                break;
            }
        if (!spans) {
            m_lines.emplace_back(at, std::vector<Span>());
            spans = &m_lines.back().second;
        }
        auto it = std::lower_bound(spans->begin(), spans->end(), from,
                                   [](const Span &s, double x) { return s.to + kSame < x; });
        if (it == spans->end() || it->from > to + kSame) {
            spans->insert(it, {from, to});
            return;
        }
        it->from = std::min(it->from, from);
        it->to = std::max(it->to, to);
        for (auto next = it + 1; next != spans->end() && next->from <= it->to + kSame;) {
            it->to = std::max(it->to, next->to);
            next = spans->erase(next);
        }
    }

    void take(bool horizontal, std::vector<QLineF> &out)
    {
        for (const auto &[at, spans] : m_lines)
            for (const Span &s : spans)
                out.push_back(horizontal ? QLineF(s.from, at, s.to, at) : QLineF(at, s.from, at, s.to));
        m_lines.clear();
    }

private:
    struct Span {
        double from = 0;
        double to = 0;
    };
    std::vector<std::pair<double, std::vector<Span>>> m_lines;
};

} // namespace

PageSetup PageSetup::a4(bool landscape)
{
    const QSizeF a4(210 * kPointsPerMm, 297 * kPointsPerMm);
    PageSetup s;
    s.paper = landscape ? a4.transposed() : a4;
    s.margins = QMarginsF(0.4 * kPointsPerInch, 0.5 * kPointsPerInch, 0.4 * kPointsPerInch, 0.5 * kPointsPerInch);
    s.footerBaseline = 0.3 * kPointsPerInch;
    return s;
}

double SheetPages::Laid::height() const
{
    return double(std::max<std::size_t>(1, lines.size())) * fonts->face(face).lineHeight() * size;
}

SheetPages::SheetPages(const SheetLayout &sheet, const FontSet &fonts, const PageSetup &setup)
    : m_sheet(sheet), m_fonts(fonts), m_setup(setup)
{
    const SheetLayout::Page page = sheet.page();
    if (page.firstRepeatRow > 0 && page.lastRepeatRow >= page.firstRepeatRow) {
        m_repeatFirst = page.firstRepeatRow;
        m_repeatLast = page.lastRepeatRow;
        m_firstBodyRow = m_repeatLast + 1;
    }
    for (int row = 1; row <= sheet.rowCount(); ++row)
        for (const SheetLayout::Merge &m : sheet.merges(row))
            if (m.rows > 1) {
                m_tallByAnchor.push_back({row, m});
                m_tallestMerge = std::max(m_tallestMerge, m.rows);
            }
    m_numberStyles.reserve(std::size_t(sheet.formatCount()));
    for (int f = 0; f < sheet.formatCount(); ++f)
        m_numberStyles.push_back(NumberStyle::of(sheet.format(f).numberFormat));
    m_tallByEnd = m_tallByAnchor;
    std::stable_sort(m_tallByEnd.begin(), m_tallByEnd.end(), [](const TallMerge &a, const TallMerge &b) {
        return a.anchor + a.merge.rows < b.anchor + b.merge.rows;
    });
    fitColumns();
    splitPages();
}

double SheetPages::columnWidth(int column) const
{
    if (column < 1 || column > m_columnCount)
        return 0;
    return m_left[std::size_t(column) + 1] - m_left[std::size_t(column)];
}

double SheetPages::spanWidth(int first, int last) const
{
    first = std::clamp(first, 1, m_columnCount + 1);
    last = std::clamp(last, first - 1, m_columnCount);
    return m_left[std::size_t(last) + 1] - m_left[std::size_t(first)];
}

int SheetPages::firstRow(int page) const
{
    return m_pageStarts[std::size_t(std::clamp(page, 0, pageCount() - 1))];
}

int SheetPages::lastRow(int page) const
{
    page = std::clamp(page, 0, pageCount() - 1);
    return page + 1 < pageCount() ? m_pageStarts[std::size_t(page) + 1] - 1 : m_sheet.rowCount();
}

void SheetPages::shapeCell(int row, const SheetLayout::Cell &cell, Laid &out) const
{
    out.fonts = &m_fonts;
    out.glyphs.clear();
    out.format = m_sheet.formatIndexAt(row, cell.column);
    out.face = m_fonts.faceOfFormat(out.format);
    NumberText text;
    switch (cell.kind) {
    case SheetLayout::Kind::Text:
        m_fonts.shapeUtf8(m_sheet.utf8(cell), out.face, out.glyphs);
        break;
    case SheetLayout::Kind::Number:
        if (std::isfinite(cell.number())) {
            const std::size_t format = std::size_t(out.format);
            static const NumberStyle general;
            const NumberStyle &style = format < m_numberStyles.size() ? m_numberStyles[format] : general;
            m_fonts.shapeUtf8(formatNumber(cell.number(), style, text), out.face, out.glyphs);
        }
        break;
    case SheetLayout::Kind::Date:
        m_fonts.shapeUtf8(formatDate(cell.date(), text), out.face, out.glyphs);
        break;
    case SheetLayout::Kind::Empty:
        break;
    }
}

void SheetPages::fit(Laid &out, double size, double width, Fit fit) const
{
    out.lines.clear();
    const double available = std::max(0.5, width - 2 * kHPad * m_scale);
    if (fit != Fit::Wrap) {
        double total = 0;
        for (const Glyph &g : out.glyphs)
            total += g.advance;
        if (total * size > available)
            size *=
                fit == Fit::ShrinkWhole ? available / (total * size) : std::max(kTextFloor, available / (total * size));
        out.size = size;
        out.lines.push_back({0, out.glyphs.size(), total * size});
        return;
    }
    // Lines break at spaces and after hyphens; a piece too long shrinks the text a little, then breaks.
    double longest = 0;
    double piece = 0;
    for (const Glyph &g : out.glyphs) {
        piece = isSpace(g.character) ? 0 : piece + g.advance;
        longest = std::max(longest, piece);
        if (isHyphen(g.character))
            piece = 0;
    }
    if (longest * size > available)
        size *= std::max(kWrapFloor, available / (longest * size));
    out.size = size;
    const double limit = (available + kSame) / size; // in em; a word exactly as wide as the box fits
    struct Break {
        std::size_t end = 0;  // the line ends before this glyph
        double width = 0;     // of the line up to there
        std::size_t next = 0; // where the next line starts
        double consumed = 0;  // the width up to `next`
    };
    Break last;
    bool broken = false; // `last` holds a place to break
    std::size_t start = 0;
    double used = 0;
    std::size_t count = out.glyphs.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Glyph g = out.glyphs[i]; // a copy: a hyphen may be put in before it
        if (g.character == u'\n') {
            out.lines.push_back({start, i, used * size});
            start = i + 1;
            used = 0;
            broken = false;
            continue;
        }
        if (g.character == u' ') {
            last = Break{i, used, i + 1, used + g.advance};
            broken = true;
            used += g.advance;
            continue;
        }
        while (used + g.advance > limit && i > start) {
            if (broken && last.next > start) {
                out.lines.push_back({start, last.end, last.width * size});
                used -= last.consumed;
                start = last.next;
            } else if (const std::size_t at = hyphenate(out, start, i, used, limit); at > start) {
                // The word goes on after a hyphen of its own, put in before `at`.
                const double left = used;
                used = 0;
                for (std::size_t k = start; k < at; ++k)
                    used += out.glyphs[k].advance;
                out.lines.push_back({start, at + 1, (used + out.glyphs[at].advance) * size});
                used = left - used;
                start = at + 1;
                ++i;
                ++count;
            } else {
                out.lines.push_back({start, i, used * size});
                start = i;
                used = 0;
            }
            broken = false;
        }
        used += g.advance;
        if (isHyphen(g.character) && i + 1 < count && !isSpace(out.glyphs[i + 1].character)) {
            last = Break{i + 1, used, i + 1, used};
            broken = true;
        }
    }
    out.lines.push_back({start, count, used * size});
}

std::size_t SheetPages::hyphenate(Laid &out, std::size_t start, std::size_t end, double used, double limit) const
{
    // Glyphs start..end-1 fill the line and hold no place to break; glyph `end` is a letter of the same
    // word. The break leaves two letters at least on either side, and the hyphen must fit the line.
    std::vector<Glyph> hyphen;
    m_fonts.shapeUtf8("-", out.face, hyphen);
    if (hyphen.empty() || hyphen.front().glyph == 0)
        return start;
    const double width = hyphen.front().advance;
    const auto endsWord = [&out](std::size_t k) {
        return k >= out.glyphs.size() || isSpace(out.glyphs[k].character) || isHyphen(out.glyphs[k].character);
    };
    std::size_t at = end;
    if (endsWord(end + 1) && at > start)
        used -= out.glyphs[--at].advance;
    while (at > start + 2 && used + width > limit)
        used -= out.glyphs[--at].advance;
    if (at < start + 2 || used + width > limit)
        return start;
    out.glyphs.insert(out.glyphs.begin() + std::ptrdiff_t(at), hyphen.front());
    return at;
}

void SheetPages::fitColumns()
{
    const int n = m_sheet.columnCount();
    m_columnCount = n;
    const FontFace &base = m_fonts.face(m_fonts.faceOfFormat(0));
    const double digit = base.advance(base.glyph(U'0')) * m_sheet.format(0).fontSize;
    std::vector<double> own(std::size_t(n) + 1, 0);  // the sheet's own widths, in points
    std::vector<double> need(std::size_t(n) + 1, 0); // what the headings and the cells below them need
    for (int c = 1; c <= n; ++c) {
        const double chars = m_sheet.columnWidth(c);
        own[std::size_t(c)] = chars > 0 ? chars * digit + kColumnPadding : 0;
    }
    Laid laid;
    // The heading's words count as the body's do: a caption broken mid-word is as hard to read as a name.
    const int first = m_repeatFirst > 0 ? m_repeatFirst : m_firstBodyRow;
    for (int row = first; row <= m_sheet.rowCount(); ++row) {
        if (m_sheet.hidden(row))
            continue;
        const std::vector<SheetLayout::Merge> &merges = m_sheet.merges(row);
        for (const SheetLayout::Cell &cell : m_sheet.cells(row)) {
            const int c = cell.column;
            if (c > n || own[std::size_t(c)] <= 0)
                continue;
            if (const SheetLayout::Merge *m = mergeAt(merges, c); m && m->lastColumn > c)
                continue;
            const CellFormat &format = m_sheet.format(m_sheet.formatIndexAt(row, c));
            const bool text = cell.kind == SheetLayout::Kind::Text;
            const bool boxed =
                (format.borders & (CellFormat::kLeft | CellFormat::kRight)) == (CellFormat::kLeft | CellFormat::kRight);
            // A one-line text outside the table may run over its empty neighbours, as in a spreadsheet.
            if (text && !format.wrap && !boxed)
                continue;
            shapeCell(row, cell, laid);
            double widest = 0;
            double piece = 0;
            for (const Glyph &g : laid.glyphs) {
                const bool breaks = text && format.wrap;
                piece = breaks && isSpace(g.character) ? 0 : piece + g.advance;
                widest = std::max(widest, piece);
                if (breaks && isHyphen(g.character))
                    piece = 0;
            }
            // A heading may shrink its type a little to keep its words whole; the body keeps the sheet's.
            const double shrink = text && format.wrap && row < m_firstBodyRow ? kHeadingFloor : 1.0;
            double width = widest * format.fontSize * shrink + 2 * kHPad;
            if (text)
                width = std::min(width, kLongestWordShare * own[std::size_t(c)]);
            need[std::size_t(c)] = std::max(need[std::size_t(c)], width);
        }
    }
    const double printable = m_setup.paper.width() - m_setup.margins.left() - m_setup.margins.right();
    double least = 0;
    for (int c = 1; c <= n; ++c)
        if (own[std::size_t(c)] > 0)
            least += std::max(need[std::size_t(c)], kMinShare * own[std::size_t(c)]);
    m_scale = least > 0 ? std::min(1.0, printable / least) : 1.0;
    std::vector<double> width(std::size_t(n) + 1, 0);
    std::vector<double> wants(std::size_t(n) + 1, 0);
    double spare = printable;
    double wanted = 0;
    for (int c = 1; c <= n; ++c) {
        const std::size_t i = std::size_t(c);
        if (own[i] <= 0)
            continue;
        width[i] = m_scale * std::max(need[i], kMinShare * own[i]);
        wants[i] = std::max(0.0, m_scale * own[i] - width[i]);
        spare -= width[i];
        wanted += wants[i];
    }
    // What is left goes to the columns that gave up most of their share: the long texts.
    spare = std::max(0.0, spare);
    const double given = wanted > spare && wanted > 0 ? spare / wanted : 1.0;
    double total = 0;
    for (int c = 1; c <= n; ++c) {
        width[std::size_t(c)] += wants[std::size_t(c)] * given;
        total += width[std::size_t(c)];
    }
    m_left.assign(std::size_t(n) + 2, 0);
    m_left[1] = m_setup.margins.left() + std::max(0.0, printable - total) / 2;
    for (int c = 1; c <= n; ++c)
        m_left[std::size_t(c) + 1] = m_left[std::size_t(c)] + width[std::size_t(c)];
}

double SheetPages::textHeight(int row, const SheetLayout::Cell &cell, double width, Laid &scratch) const
{
    const int index = m_sheet.formatIndexAt(row, cell.column);
    const CellFormat &format = m_sheet.format(index);
    const double size = format.fontSize * m_scale;
    double needed = m_fonts.face(m_fonts.faceOfFormat(index)).lineHeight() * size;
    if (cell.kind == SheetLayout::Kind::Text && format.wrap) {
        shapeCell(row, cell, scratch);
        fit(scratch, size, width, Fit::Wrap);
        needed = scratch.height();
    }
    return needed + 2 * kVPad * m_scale;
}

double SheetPages::ownHeight(int row, Laid &scratch) const
{
    if (m_sheet.hidden(row))
        return 0;
    const double stored = m_sheet.height(row);
    double height = (stored > 0 ? stored : m_sheet.defaultRowHeight()) * m_scale;
    const std::vector<SheetLayout::Merge> &merges = m_sheet.merges(row);
    for (const SheetLayout::Cell &cell : m_sheet.cells(row)) {
        const int c = cell.column;
        if (c > m_columnCount)
            continue;
        const SheetLayout::Merge *m = merges.empty() ? nullptr : mergeAt(merges, c);
        if (m && m->rows > 1)
            continue;
        const double width = m ? spanWidth(c, m->lastColumn) : columnWidth(c);
        if (width > 0)
            height = std::max(height, textHeight(row, cell, width, scratch));
    }
    return height;
}

double SheetPages::rowHeight(int row) const
{
    return row >= 1 && std::size_t(row) < m_heights.size() ? m_heights[std::size_t(row)] : 0;
}

double SheetPages::measureRow(int row, Laid &scratch) const
{
    double height = ownHeight(row, scratch);
    if (height <= 0)
        return 0;
    // A merged cell over several rows that needs more room than they have makes its last row taller.
    const auto first = std::lower_bound(m_tallByEnd.begin(), m_tallByEnd.end(), row,
                                        [](const TallMerge &t, int r) { return t.anchor + t.merge.rows - 1 < r; });
    double extra = 0;
    for (auto it = first; it != m_tallByEnd.end() && it->anchor + it->merge.rows - 1 == row; ++it) {
        const SheetLayout::Cell *cell = cellAt(m_sheet.cells(it->anchor), it->merge.firstColumn);
        if (!cell)
            continue;
        double have = height;
        for (int r = it->anchor; r < row; ++r)
            have += ownHeight(r, scratch);
        const double width = spanWidth(it->merge.firstColumn, it->merge.lastColumn);
        extra = std::max(extra, textHeight(it->anchor, *cell, width, scratch) - have);
    }
    return height + extra;
}

void SheetPages::splitPages()
{
    // The rows' heights first, on several threads: the pass that costs is the wrapping of long texts.
    const int rows = m_sheet.rowCount();
    m_heights.assign(std::size_t(rows) + 1, 0);
    constexpr int kBlock = 2048;
    std::atomic<int> next{0};
    const auto work = [&] {
        Laid scratch;
        for (int block = next++; block * kBlock < rows; block = next++)
            for (int r = block * kBlock + 1; r <= std::min(rows, (block + 1) * kBlock); ++r)
                m_heights[std::size_t(r)] = float(measureRow(r, scratch));
    };
    std::vector<std::thread> pool;
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
    for (int t = 1; t < std::min(threads, rows / kBlock + 1); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();

    const double body = m_setup.paper.height() - m_setup.margins.top() - m_setup.margins.bottom();
    double headings = 0;
    for (int r = m_repeatFirst; r >= 1 && r <= m_repeatLast; ++r)
        headings += rowHeight(r);
    m_pageStarts.assign(1, 1);
    double used = 0;
    for (int row = 1; row <= rows; ++row) {
        const double height = rowHeight(row);
        if (height <= 0)
            continue;
        const int start = m_pageStarts.back();
        const bool repeated = m_pageStarts.size() > 1 && m_repeatFirst > 0 && start > m_repeatLast;
        if (used > 0 && used + height > body - (repeated ? headings : 0)) {
            m_pageStarts.push_back(row);
            used = 0;
        }
        used += height;
    }
}

// --- drawing ----------------------------------------------------------------------------------------

class SheetPages::PageDrawer final {
public:
    PageDrawer(const SheetPages &pages, PageCanvas &canvas)
        : m_pages(pages), m_sheet(pages.m_sheet), m_canvas(canvas),
          m_coveredUntil(std::size_t(pages.m_columnCount) + 2, 0)
    {}

    void draw(int page)
    {
        m_start = m_pages.firstRow(page);
        m_last = m_pages.lastRow(page);
        double y = m_pages.m_setup.margins.top();
        if (page > 0 && m_pages.m_repeatFirst > 0 && m_start > m_pages.m_repeatLast)
            for (int r = m_pages.m_repeatFirst; r <= m_pages.m_repeatLast; ++r)
                y += drawRow(r, y, m_pages.m_repeatLast);
        continuedMerges(y);
        for (int r = m_start; r <= m_last; ++r)
            y += drawRow(r, y, m_last);
        m_lines.clear();
        m_horizontal.take(true, m_lines);
        m_vertical.take(false, m_lines);
        if (!m_lines.empty())
            m_canvas.strokeLines(m_lines, kBorderWidth);
        footer(page);
    }

private:
    struct Pending {
        int row = 0;
        int column = 0;
        QRectF box;
        const SheetLayout::Cell *cell = nullptr;
        bool merged = false;
    };

    double heightsOf(int first, int last) const
    {
        double h = 0;
        for (int r = first; r <= last; ++r)
            h += m_pages.rowHeight(r);
        return h;
    }

    // A merged cell whose top row is on an earlier page goes on with the rows it still covers.
    void continuedMerges(double y)
    {
        const auto from = std::lower_bound(m_pages.m_tallByAnchor.begin(), m_pages.m_tallByAnchor.end(),
                                           m_start - m_pages.m_tallestMerge + 1,
                                           [](const TallMerge &t, int row) { return t.anchor < row; });
        for (auto it = from; it != m_pages.m_tallByAnchor.end() && it->anchor < m_start; ++it) {
            const int end = it->anchor + it->merge.rows - 1;
            if (end < m_start || (it->anchor >= m_pages.m_repeatFirst && it->anchor <= m_pages.m_repeatLast))
                continue;
            const SheetLayout::Merge &m = it->merge;
            const QRectF box(m_pages.m_left[m.firstColumn], y, m_pages.spanWidth(m.firstColumn, m.lastColumn),
                             heightsOf(m_start, std::min(end, m_last)));
            for (int c = m.firstColumn; c <= std::min<int>(m.lastColumn, m_pages.m_columnCount); ++c)
                m_coveredUntil[std::size_t(c)] = end;
            cellBox(box, m_sheet.formatIndexAt(it->anchor, m.firstColumn));
            if (const SheetLayout::Cell *cell = cellAt(m_sheet.cells(it->anchor), m.firstColumn))
                drawText({it->anchor, m.firstColumn, box, cell, true});
        }
    }

    void cellBox(const QRectF &box, int format)
    {
        const CellFormat &f = m_sheet.format(format);
        if (f.fill)
            m_canvas.fillRect(box, *f.fill);
        if (f.borders & CellFormat::kTop)
            m_horizontal.add(box.top(), box.left(), box.right());
        if (f.borders & CellFormat::kBottom)
            m_horizontal.add(box.bottom(), box.left(), box.right());
        if (f.borders & CellFormat::kLeft)
            m_vertical.add(box.left(), box.top(), box.bottom());
        if (f.borders & CellFormat::kRight)
            m_vertical.add(box.right(), box.top(), box.bottom());
    }

    double drawRow(int row, double y, int lastOnPage)
    {
        const double height = m_pages.rowHeight(row);
        if (height <= 0)
            return 0;
        m_pending.clear();
        const std::span<const SheetLayout::Cell> cells = m_sheet.cells(row);
        const std::vector<SheetLayout::Merge> &merges = m_sheet.merges(row);
        for (int c = 1; c <= m_pages.m_columnCount; ++c) {
            const double width = m_pages.columnWidth(c);
            if (width <= 0 || m_coveredUntil[std::size_t(c)] >= row)
                continue;
            QRectF box(m_pages.m_left[std::size_t(c)], y, width, height);
            const SheetLayout::Merge *m = merges.empty() ? nullptr : mergeAt(merges, c);
            if (m) {
                box.setWidth(m_pages.spanWidth(c, m->lastColumn));
                const int end = row + m->rows - 1;
                if (m->rows > 1)
                    box.setHeight(height + heightsOf(row + 1, std::min(end, lastOnPage)));
                for (int k = c; k <= std::min<int>(m->lastColumn, m_pages.m_columnCount); ++k)
                    m_coveredUntil[std::size_t(k)] = end;
            }
            cellBox(box, m_sheet.formatIndexAt(row, c));
            if (const SheetLayout::Cell *cell = cellAt(cells, c))
                m_pending.push_back({row, c, box, cell, m != nullptr});
        }
        for (const Pending &p : m_pending)
            drawText(p);
        return height;
    }

    // A column next to the box that a one-line text may run into: shown, empty and not merged.
    bool freeColumn(int row, int column) const
    {
        return column >= 1 && column <= m_pages.m_columnCount && m_pages.columnWidth(column) > 0 &&
               m_coveredUntil[std::size_t(column)] < row && !cellAt(m_sheet.cells(row), column) &&
               !mergeAt(m_sheet.merges(row), column);
    }

    // Widens the box of a one-line text over empty neighbours until the text fits, as a spreadsheet shows it.
    QRectF runOver(const Pending &p, CellFormat::Horizontal align, double natural) const
    {
        QRectF box = p.box;
        int left = p.column;
        int right = p.column;
        bool turn = false;
        while (box.width() < natural) {
            const bool rightFree = align != CellFormat::Horizontal::Right && freeColumn(p.row, right + 1);
            const bool leftFree = align != CellFormat::Horizontal::Left && freeColumn(p.row, left - 1);
            if (!rightFree && !leftFree)
                break;
            if (rightFree && (!leftFree || !turn))
                box.setRight(box.right() + m_pages.columnWidth(++right));
            else
                box.setLeft(box.left() - m_pages.columnWidth(--left));
            turn = !turn;
        }
        return box;
    }

    void drawText(const Pending &p)
    {
        m_pages.shapeCell(p.row, *p.cell, m_laid);
        if (m_laid.glyphs.empty())
            return;
        const CellFormat &format = m_sheet.format(m_laid.format);
        const double scale = m_pages.m_scale;
        const double size = format.fontSize * scale;
        const bool isText = p.cell->kind == SheetLayout::Kind::Text;
        const Fit fit = !isText ? Fit::ShrinkWhole : format.wrap ? Fit::Wrap : Fit::Shrink;
        CellFormat::Horizontal align = format.horizontal;
        if (align == CellFormat::Horizontal::General)
            align = isText ? CellFormat::Horizontal::Left : CellFormat::Horizontal::Right;
        QRectF box = p.box;
        if (fit == Fit::Shrink && !p.merged) {
            double natural = 0;
            for (const Glyph &g : m_laid.glyphs)
                natural += g.advance;
            natural = natural * size + 2 * kHPad * scale;
            if (natural > box.width())
                box = runOver(p, align, natural);
        }
        m_pages.fit(m_laid, size, box.width(), fit);
        const FontFace &font = m_pages.m_fonts.face(m_laid.face);
        const double line = font.lineHeight() * m_laid.size;
        const double textHeight = m_laid.height();
        const double pad = kVPad * scale;
        double top = box.top() + pad;
        if (format.vertical == CellFormat::Vertical::Center)
            top = box.center().y() - textHeight / 2;
        else if (format.vertical == CellFormat::Vertical::Bottom)
            top = box.bottom() - pad - textHeight;
        const double x0 = box.left() + kHPad * scale;
        const double x1 = box.right() - kHPad * scale;
        bool over = textHeight > box.height() - 2 * pad + kSame;
        for (const Line &l : m_laid.lines)
            over = over || l.width > x1 - x0 + kSame;
        const Rgb colour = m_sheet.fontColourAt(p.row, p.column).value_or(format.fontColour);
        for (std::size_t i = 0; i < m_laid.lines.size(); ++i) {
            const Line &l = m_laid.lines[i];
            double x = x0;
            if (align == CellFormat::Horizontal::Right)
                x = x1 - l.width;
            else if (align == CellFormat::Horizontal::Center)
                x = (x0 + x1 - l.width) / 2;
            const double baseline = top + double(i) * line + (font.lineGap() / 2 + font.ascent()) * m_laid.size;
            emitLine(l, QPointF(x, baseline), colour, format.underline, over ? &box : nullptr);
        }
    }

    void emitLine(const Line &line, QPointF origin, Rgb colour, bool underline, const QRectF *clip)
    {
        std::size_t j = line.begin;
        while (j < line.end) {
            const int face = m_laid.glyphs[j].face;
            m_glyphs.clear();
            m_characters.clear();
            double width = 0;
            for (; j < line.end && m_laid.glyphs[j].face == face; ++j) {
                const Glyph &g = m_laid.glyphs[j];
                if (g.character == u'\n')
                    continue;
                m_glyphs.push_back(g.glyph);
                m_characters.push_back(g.character);
                width += g.advance * m_laid.size;
            }
            if (m_glyphs.empty())
                continue;
            GlyphRun run;
            run.face = face;
            run.size = m_laid.size;
            run.colour = colour;
            run.origin = origin;
            run.glyphs = m_glyphs;
            run.characters = m_characters;
            run.width = width;
            run.underline = underline;
            run.clip = clip;
            m_canvas.drawGlyphs(run);
            origin.rx() += width;
        }
    }

    void footer(int page)
    {
        m_laid.glyphs.clear();
        m_laid.face = m_pages.m_fonts.faceOfFormat(0);
        m_pages.m_fonts.shape(QStringLiteral("Стр. %1 из %2").arg(page + 1).arg(m_pages.pageCount()), m_laid.face,
                              m_laid.glyphs);
        m_pages.fit(m_laid, kFooterSize, 1e9, Fit::Shrink);
        const PageSetup &setup = m_pages.m_setup;
        const Line &l = m_laid.lines.front();
        emitLine(l, QPointF((setup.paper.width() - l.width) / 2, setup.paper.height() - setup.footerBaseline), kBlack,
                 false, nullptr);
    }

    const SheetPages &m_pages;
    const SheetLayout &m_sheet;
    PageCanvas &m_canvas;
    Laid m_laid;
    int m_start = 1;
    int m_last = 0;
    std::vector<int> m_coveredUntil;
    std::vector<Pending> m_pending;
    Edges m_horizontal;
    Edges m_vertical;
    std::vector<QLineF> m_lines;
    std::vector<std::uint16_t> m_glyphs;
    std::vector<char32_t> m_characters;
};

void SheetPages::drawPage(int page, PageCanvas &canvas) const
{
    PageDrawer drawer(*this, canvas);
    drawer.draw(std::clamp(page, 0, pageCount() - 1));
}

} // namespace kalvor::sheets::print
