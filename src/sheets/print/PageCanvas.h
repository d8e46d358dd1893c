#pragma once

#include "sheets/SheetLayout.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>

#include <span>

namespace kalvor::sheets::print {

class FontSet;

// A line of text placed on the page: glyphs of one face at one size, the pen moving by each glyph's own
// advance (so a PDF reader places them exactly as a QPainter does).
struct GlyphRun {
    int face = 0;
    double size = 10; // points
    Rgb colour = kBlack;
    QPointF origin; // the start of the baseline, in points from the paper's top-left corner
    std::span<const std::uint16_t> glyphs;
    std::span<const char32_t> characters; // what each glyph shows, for text extraction
    double width = 0;                     // the advances summed, in points
    bool underline = false;
    const QRectF *clip = nullptr; // the cell the text must stay in, when it might run over
};

// What a page of a sheet is drawn on: the screen, a printer or a PDF content stream. Coordinates are
// points from the paper's top-left corner.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    virtual void fillRect(const QRectF &rect, Rgb colour) = 0;
    // Thin black lines (cell borders), already joined where they meet end to end.
    virtual void strokeLines(std::span<const QLineF> lines, double width) = 0;
    virtual void drawGlyphs(const GlyphRun &run) = 0;
};

} // namespace kalvor::sheets::print
