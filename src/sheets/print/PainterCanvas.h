#pragma once

#include "sheets/print/PageCanvas.h"

#include <QRawFont>

#include <vector>

class QPainter;

namespace kalvor::sheets::print {

// Draws pages with a QPainter (the preview, a printer) whose coordinates are the paper's points. The
// glyphs go through QRawFont made from the very faces the layout measured, so the screen, the paper and
// a PDF file place every glyph alike.
class PainterCanvas final : public PageCanvas {
public:
    PainterCanvas(QPainter &painter, const FontSet &fonts);

    void fillRect(const QRectF &rect, Rgb colour) override;
    void strokeLines(std::span<const QLineF> lines, double width) override;
    void drawGlyphs(const GlyphRun &run) override;

private:
    QPainter &m_painter;
    const FontSet &m_fonts;
    std::vector<QRawFont> m_raw; // by face, made on first use
    QList<quint32> m_indexes;
    QList<QPointF> m_positions;
};

} // namespace kalvor::sheets::print
