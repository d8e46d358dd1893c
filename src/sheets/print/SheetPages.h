#pragma once

#include "sheets/SheetLayout.h"
#include "sheets/print/FontSet.h"
#include "sheets/print/PageCanvas.h"

#include <QMarginsF>
#include <QSizeF>

#include <vector>

namespace kalvor::sheets::print {

// The paper and the printable area, in points.
struct PageSetup {
    QSizeF paper;
    QMarginsF margins;
    double footerBaseline = 0; // the page number's baseline, up from the paper's bottom edge

    // A4 with the margins of the workbook templates; the page number in the bottom margin.
    static PageSetup a4(bool landscape);
};

// A sheet laid out on pages: every column fitted to the paper's width, the rows split into pages by their
// heights, the heading rows repeated at the top of every page after the first.
//
// Columns: the heading rows and the cells below them decide. A column is at least as wide as its widest
// number or date and its longest word (a heading's too), and keeps at least half of its share of the
// sheet's width; the type is made
// as large as that allows, at most as the sheet sets it. Long texts then wrap (a word too long for its
// cell shrinks a little, then breaks); a number never wraps and shrinks until it fits whole.
//
// Rows: a row is as tall as the sheet makes it at that type size, or as its wrapped texts need. The rows'
// heights and the first row of every page are all that is kept (a number a row, as the sheet itself keeps):
// a page is drawn on demand from the sheet, so neither the preview nor a PDF of thousands of pages holds
// more than the one page being drawn.
//
// The object only reads the sheet and the fonts, which must outlive it; drawPage() may run on several
// threads at once.
class SheetPages final {
public:
    SheetPages(const SheetLayout &sheet, const FontSet &fonts, const PageSetup &setup);

    int pageCount() const { return int(m_pageStarts.size()); }
    const PageSetup &setup() const { return m_setup; }
    const FontSet &fonts() const { return m_fonts; }
    // The type size of the printed sheet against the sheet's own (1 when nothing had to shrink).
    double typeScale() const { return m_scale; }
    double columnWidth(int column) const; // printed, in points; 0 for a hidden column
    double rowHeight(int row) const;      // printed, in points; 0 for a hidden row
    int firstRow(int page) const;         // the first row of the page below the repeated headings
    int lastRow(int page) const;

    // Draws the page (0-based) and "Стр. N из M" under it.
    void drawPage(int page, PageCanvas &canvas) const;

private:
    struct Line {
        std::size_t begin = 0;
        std::size_t end = 0;
        double width = 0;
    };
    enum class Fit { Wrap, Shrink, ShrinkWhole };
    // A cell's text laid out in a box `width` points wide.
    struct Laid {
        std::vector<Glyph> glyphs;
        std::vector<Line> lines;
        double size = 0;
        int face = 0;
        int format = 0;
        double height() const;
        const FontSet *fonts = nullptr;
    };
    struct TallMerge {
        int anchor = 0;
        SheetLayout::Merge merge;
    };
    class PageDrawer;

    void fitColumns();
    void splitPages();
    double ownHeight(int row, Laid &scratch) const;
    double textHeight(int row, const SheetLayout::Cell &cell, double width, Laid &scratch) const;
    double spanWidth(int first, int last) const;
    // The cell's text as glyphs of its format's face (out.face).
    void shapeCell(int row, const SheetLayout::Cell &cell, Laid &out) const;
    // Sizes and breaks the shaped text for a box `width` points wide.
    void fit(Laid &out, double size, double width, Fit fit) const;
    double measureRow(int row, Laid &scratch) const;
    // Where a word too long for its line breaks, with a hyphen put in there (start when it cannot).
    std::size_t hyphenate(Laid &out, std::size_t start, std::size_t end, double used, double limit) const;

    const SheetLayout &m_sheet;
    const FontSet &m_fonts;
    PageSetup m_setup;
    int m_columnCount = 0;
    int m_firstBodyRow = 1;
    int m_repeatFirst = 0;
    int m_repeatLast = 0;
    double m_scale = 1;
    std::vector<double> m_left; // left edge of column c at [c], right edge of the last at [count + 1]
    std::vector<NumberStyle> m_numberStyles; // by format
    std::vector<int> m_pageStarts;
    std::vector<float> m_heights;          // of every row, [0] unused
    std::vector<TallMerge> m_tallByAnchor; // merges over several rows, by their top row
    std::vector<TallMerge> m_tallByEnd;    // the same by their bottom row
    int m_tallestMerge = 1;
};

} // namespace kalvor::sheets::print
