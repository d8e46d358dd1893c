#include "sheets/print/PdfCanvas.h"

#include "sheets/print/FontSet.h"

#include <charconv>
#include <cmath>

namespace kalvor::sheets::print {

void GlyphUse::add(const FontSet &fonts, int face, std::uint16_t glyph, char32_t character)
{
    if (std::size_t(face) < byFace.size()) {
        const std::vector<char32_t> &known = byFace[std::size_t(face)];
        if (glyph < known.size() && known[glyph] != 0)
            return; // the usual case: a glyph seen before
    }
    if (byFace.size() <= std::size_t(face))
        byFace.resize(std::size_t(face) + 1);
    std::vector<char32_t> &glyphs = byFace[std::size_t(face)];
    if (glyphs.empty())
        glyphs.assign(std::size_t(std::max(1, fonts.face(face).glyphCount())), 0);
    if (glyph < glyphs.size() && glyphs[glyph] == 0)
        glyphs[glyph] = character ? character : U' ';
}

void GlyphUse::merge(const GlyphUse &other)
{
    if (byFace.size() < other.byFace.size())
        byFace.resize(other.byFace.size());
    for (std::size_t f = 0; f < other.byFace.size(); ++f) {
        const std::vector<char32_t> &from = other.byFace[f];
        std::vector<char32_t> &to = byFace[f];
        if (to.size() < from.size())
            to.resize(from.size(), 0);
        for (std::size_t g = 0; g < from.size(); ++g)
            if (to[g] == 0)
                to[g] = from[g];
    }
}

PdfCanvas::PdfCanvas(const FontSet &fonts, double paperHeight, GlyphUse &use)
    : m_fonts(fonts), m_height(paperHeight), m_use(use)
{}

std::string PdfCanvas::take()
{
    endText();
    std::string page = std::move(m_out);
    m_out = std::string();
    m_out.reserve(page.size() + page.size() / 8);
    m_face = -1;
    m_size = 0;
    m_fill = -1;
    return page;
}

void PdfCanvas::number(double value)
{
    // Three decimals are far below what a printer or a reader can show.
    thousandths(std::llround(value * 1000));
}

void PdfCanvas::thousandths(long long scaled)
{
    if (scaled < 0) {
        m_out += '-';
        scaled = -scaled;
    }
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, scaled / 1000);
    (void)error;
    int fraction = int(scaled % 1000);
    if (fraction != 0) {
        *end++ = '.';
        const char digits[3] = {char('0' + fraction / 100), char('0' + fraction / 10 % 10), char('0' + fraction % 10)};
        int count = 3;
        while (digits[count - 1] == '0')
            --count;
        for (int i = 0; i < count; ++i)
            *end++ = digits[i];
    }
    *end++ = ' ';
    m_out.append(buffer, std::size_t(end - buffer));
}

void PdfCanvas::point(double x, double y)
{
    number(x);
    number(m_height - y);
}

void PdfCanvas::endText()
{
    if (m_inText) {
        m_out += "ET\n";
        m_inText = false;
    }
}

void PdfCanvas::fillColour(Rgb colour)
{
    if (m_fill == std::int64_t(colour))
        return;
    m_fill = colour;
    number(((colour >> 16) & 0xFF) / 255.0);
    number(((colour >> 8) & 0xFF) / 255.0);
    number((colour & 0xFF) / 255.0);
    m_out += "rg\n";
}

void PdfCanvas::fillRect(const QRectF &rect, Rgb colour)
{
    endText();
    fillColour(colour);
    point(rect.left(), rect.bottom());
    number(rect.width());
    number(rect.height());
    m_out += "re f\n";
}

void PdfCanvas::strokeLines(std::span<const QLineF> lines, double width)
{
    endText();
    m_out += "0 G ";
    number(width);
    m_out += "w\n";
    for (const QLineF &l : lines) {
        point(l.x1(), l.y1());
        m_out += "m ";
        point(l.x2(), l.y2());
        m_out += "l\n";
    }
    m_out += "S\n";
}

void PdfCanvas::drawGlyphs(const GlyphRun &run)
{
    if (run.clip) {
        endText();
        m_out += "q ";
        point(run.clip->left(), run.clip->bottom());
        number(run.clip->width());
        number(run.clip->height());
        m_out += "re W n\n";
    }
    if (!m_inText) {
        m_out += "BT\n";
        m_inText = true;
        m_lineX = 0;
        m_lineY = 0;
    }
    if (run.face != m_face || run.size != m_size) {
        m_face = run.face;
        m_size = run.size;
        m_out += "/F";
        m_out += std::to_string(run.face);
        m_out += ' ';
        number(run.size);
        m_out += "Tf\n";
    }
    fillColour(run.colour);
    // Each line starts from the one before (Td), in whole thousandths so that no error adds up: shorter
    // than placing every line anew, and a page is mostly such lines.
    const long long x = std::llround(run.origin.x() * 1000);
    const long long y = std::llround((m_height - run.origin.y()) * 1000);
    thousandths(x - m_lineX);
    thousandths(y - m_lineY);
    m_lineX = x;
    m_lineY = y;
    m_out += "Td (";
    // Two bytes a glyph (Identity-H); the string's delimiters and line ends escaped. Written to a buffer
    // first: a run is short, and the page's bytes grow once a run instead of once a byte.
    char bytes[256];
    std::size_t used = 0;
    for (std::size_t i = 0; i < run.glyphs.size(); ++i) {
        const std::uint16_t g = run.glyphs[i];
        m_use.add(m_fonts, run.face, g, i < run.characters.size() ? run.characters[i] : 0);
        if (used + 8 > sizeof bytes) {
            m_out.append(bytes, used);
            used = 0;
        }
        for (const char byte : {char(g >> 8), char(g & 0xFF)}) {
            switch (byte) {
            case '(':
            case ')':
            case '\\':
                bytes[used++] = '\\';
                bytes[used++] = byte;
                break;
            case '\r':
                bytes[used++] = '\\';
                bytes[used++] = 'r';
                break;
            case '\n':
                bytes[used++] = '\\';
                bytes[used++] = 'n';
                break;
            default:
                bytes[used++] = byte;
            }
        }
    }
    m_out.append(bytes, used);
    m_out += ") Tj\n";
    if (run.underline) {
        endText();
        fillColour(run.colour);
        point(run.origin.x(), run.origin.y() + 0.15 * run.size);
        number(run.width);
        number(0.06 * run.size);
        m_out += "re f\n";
    }
    if (run.clip) {
        endText();
        m_out += "Q\n";
        m_face = -1;
        m_size = 0;
        m_fill = -1;
    }
}

} // namespace kalvor::sheets::print
