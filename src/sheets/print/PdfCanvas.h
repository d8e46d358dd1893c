#pragma once

#include "sheets/print/PageCanvas.h"

#include <string>
#include <vector>

namespace kalvor::sheets::print {

class FontSet;

// The glyphs a document uses, by face, with the character each shows (0 for a glyph not used).
struct GlyphUse {
    std::vector<std::vector<char32_t>> byFace;
    void add(const FontSet &fonts, int face, std::uint16_t glyph, char32_t character);
    void merge(const GlyphUse &other);
};

// One page as a PDF content stream: fills, borders and text in the embedded faces (named /F0, /F1, ...
// by their index in the font set). The glyphs it draws are noted in `use`.
class PdfCanvas final : public PageCanvas {
public:
    PdfCanvas(const FontSet &fonts, double paperHeight, GlyphUse &use);

    void fillRect(const QRectF &rect, Rgb colour) override;
    void strokeLines(std::span<const QLineF> lines, double width) override;
    void drawGlyphs(const GlyphRun &run) override;

    // The content drawn since the last call, and a fresh page.
    std::string take();

private:
    void endText();
    void fillColour(Rgb colour);
    void number(double value);
    void thousandths(long long scaled);
    void point(double x, double y);

    const FontSet &m_fonts;
    double m_height;
    GlyphUse &m_use;
    std::string m_out; // appended to a few bytes at a time: a plain string does that fastest
    bool m_inText = false;
    int m_face = -1;
    double m_size = 0;
    std::int64_t m_fill = -1;
    long long m_lineX = 0; // where the text line starts, in thousandths of a point up from the bottom
    long long m_lineY = 0;
};

} // namespace kalvor::sheets::print
