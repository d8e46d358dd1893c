#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace kalvor::sheets::print {

// One TrueType face as printed sheets use it: its tables, its design metrics and the glyph of every character
// of the Basic Multilingual Plane. Read once through the system's font configuration (a missing family gives
// the closest face the system has) and immutable afterwards, so that pages are laid out on several threads.
// The same glyph numbers serve the screen, the printer and the embedded font of a PDF file.
class FontFace final {
public:
    // The face of `family` in that weight and slant. Throws KalvorError when the system has no scalable
    // TrueType face for it (fonts-liberation2 or fonts-dejavu-core provide them).
    static std::shared_ptr<const FontFace> find(const QString &family, bool bold, bool italic);

    std::uint16_t glyph(char32_t c) const;    // 0 when the face has no glyph for it
    double advance(std::uint16_t glyph) const // in em
    {
        return glyph < m_advances.size() ? m_advances[glyph] : m_defaultAdvance;
    }
    int glyphCount() const { return m_glyphCount; }
    int unitsPerEm() const { return m_unitsPerEm; }
    // In em, positive: above and below the baseline, the gap between lines.
    double ascent() const { return m_ascent; }
    double descent() const { return m_descent; }
    double lineGap() const { return m_lineGap; }
    double lineHeight() const { return m_ascent + m_descent + m_lineGap; }
    // In font units: the box of all glyphs, the height of capitals, the slant.
    const int *boundingBox() const { return m_bbox; }
    int capHeight() const { return m_capHeight; }
    double italicAngle() const { return m_italicAngle; }
    bool fixedPitch() const { return m_fixedPitch; }
    bool bold() const { return m_bold; }
    bool italic() const { return m_italic; }
    const QString &family() const { return m_family; }
    // "LiberationSans-Bold": the name a PDF file gives the face.
    const QString &postScriptName() const { return m_postScriptName; }

    // A font file holding only `used` glyphs (glyph numbers unchanged), for embedding.
    QByteArray subset(const std::vector<bool> &used) const;
    // The face as a complete font file, for QRawFont.
    QByteArray fontFile() const;

private:
    FontFace() = default;
    void read(const QString &family, bool bold, bool italic, const QByteArray &requested);
    QByteArray build(const QByteArray &glyf, const QByteArray &loca) const;

    struct Table {
        std::uint32_t tag = 0;
        QByteArray data;
    };
    std::vector<Table> m_tables;      // sorted by tag
    std::vector<std::uint16_t> m_bmp; // glyph of each character U+0000..U+FFFF
    std::vector<float> m_advances;
    double m_defaultAdvance = 0.5;
    int m_glyphCount = 0;
    int m_unitsPerEm = 1000;
    double m_ascent = 0.9;
    double m_descent = 0.2;
    double m_lineGap = 0;
    int m_bbox[4] = {0, -200, 1000, 900};
    int m_capHeight = 700;
    double m_italicAngle = 0;
    bool m_fixedPitch = false;
    bool m_longLoca = false;
    bool m_bold = false;
    bool m_italic = false;
    QString m_family;
    QString m_postScriptName;

    const QByteArray *table(const char *tag) const;
};

} // namespace kalvor::sheets::print
