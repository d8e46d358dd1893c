#pragma once

#include "sheets/print/FontFace.h"

#include <QStringView>

#include <string_view>

#include <memory>
#include <mutex>
#include <vector>

namespace kalvor::sheets {
class SheetLayout;
}

namespace kalvor::sheets::print {

// One character of a shaped text: its glyph in one of the set's faces and how far it moves the pen.
struct Glyph {
    char32_t character = 0;
    float advance = 0; // in em
    std::uint16_t glyph = 0;
    std::uint8_t face = 0;
};

// The faces a sheet is printed in: one for every font its formats name (family, weight, slant), and
// for each of them a fallback face for the characters it lacks. Read once; shared by every thread that
// lays out or draws pages.
class FontSet final {
public:
    // Throws KalvorError when a face cannot be found.
    explicit FontSet(const SheetLayout &sheet);

    int faceOfFormat(int format) const;
    int count() const { return int(m_entries.size()); }
    const FontFace &face(int index) const { return *m_entries[std::size_t(index)]->face; }
    // The face's file for QRawFont (made on first use; safe on any thread).
    const QByteArray &fontFile(int index) const;

    // Appends the glyphs of `text` in `face`, characters the face lacks taken from its fallback. Line
    // breaks stay as glyph 0 with the character '\n'; a tab is a space.
    void shape(QStringView text, int face, std::vector<Glyph> &out) const;
    void shapeUtf8(std::string_view text, int face, std::vector<Glyph> &out) const;

private:
    void append(char32_t c, int face, std::vector<Glyph> &out) const;
    int add(const QString &family, bool bold, bool italic);

    struct Entry {
        QString family;
        bool bold = false;
        bool italic = false;
        std::shared_ptr<const FontFace> face;
        int fallback = -1;
        mutable std::once_flag fileOnce;
        mutable QByteArray file;
        std::vector<Glyph> bmp; // what append() gives for each character U+0000..U+FFFF
    };
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::vector<int> m_formatFaces;
};

} // namespace kalvor::sheets::print
