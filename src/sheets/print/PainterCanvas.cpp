#include "sheets/print/PainterCanvas.h"

#include "sheets/print/FontSet.h"

#include <QColor>
#include <QGlyphRun>
#include <QPainter>

namespace kalvor::sheets::print {

namespace {

// Glyphs are drawn at this size and scaled: one QRawFont a face serves every size.
constexpr double kRawSize = 48;

QColor colourOf(Rgb rgb)
{
    return QColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

} // namespace

PainterCanvas::PainterCanvas(QPainter &painter, const FontSet &fonts) : m_painter(painter), m_fonts(fonts) {}

void PainterCanvas::fillRect(const QRectF &rect, Rgb colour)
{
    m_painter.fillRect(rect, colourOf(colour));
}

void PainterCanvas::strokeLines(std::span<const QLineF> lines, double width)
{
    m_painter.save();
    QPen pen(Qt::black, width);
    pen.setCapStyle(Qt::SquareCap);
    m_painter.setPen(pen);
    m_painter.drawLines(lines.data(), int(lines.size()));
    m_painter.restore();
}

void PainterCanvas::drawGlyphs(const GlyphRun &run)
{
    if (m_raw.size() <= std::size_t(run.face))
        m_raw.resize(std::size_t(run.face) + 1);
    QRawFont &raw = m_raw[std::size_t(run.face)];
    if (!raw.isValid())
        raw = QRawFont(m_fonts.fontFile(run.face), kRawSize, QFont::PreferNoHinting);
    const FontFace &face = m_fonts.face(run.face);
    m_indexes.clear();
    m_positions.clear();
    double x = 0;
    for (const std::uint16_t g : run.glyphs) {
        m_indexes.append(g);
        m_positions.append(QPointF(x, 0));
        x += face.advance(g) * kRawSize;
    }
    QGlyphRun glyphs;
    glyphs.setRawFont(raw);
    glyphs.setGlyphIndexes(m_indexes);
    glyphs.setPositions(m_positions);
    m_painter.save();
    if (run.clip)
        m_painter.setClipRect(*run.clip, Qt::IntersectClip);
    m_painter.translate(run.origin);
    const double scale = run.size / kRawSize;
    m_painter.scale(scale, scale);
    m_painter.setPen(colourOf(run.colour));
    m_painter.drawGlyphRun(QPointF(0, 0), glyphs);
    if (run.underline)
        m_painter.fillRect(QRectF(0, 0.09 * kRawSize, x, 0.06 * kRawSize), colourOf(run.colour));
    m_painter.restore();
}

} // namespace kalvor::sheets::print
