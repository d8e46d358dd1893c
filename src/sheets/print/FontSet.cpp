#include "sheets/print/FontSet.h"

#include "sheets/SheetLayout.h"

#include <algorithm>

namespace kalvor::sheets::print {

namespace {

// Covers Cyrillic, Latin and the usual signs ("№", dashes, quotes) on every system that has the package
// the build installs.
const QString kFallbackFamily = QStringLiteral("DejaVu Sans");

// Room for `more` glyphs at once, growing as push_back would.
void reserveFor(std::vector<Glyph> &out, std::size_t more)
{
    if (out.capacity() - out.size() < more)
        out.reserve(std::max(out.size() + more, 2 * out.capacity()));
}

} // namespace

FontSet::FontSet(const SheetLayout &sheet)
{
    m_formatFaces.reserve(std::size_t(std::max(1, sheet.formatCount())));
    for (int i = 0; i < std::max(1, sheet.formatCount()); ++i) {
        const CellFormat &f = sheet.format(i);
        m_formatFaces.push_back(add(f.fontName, f.bold, f.italic));
    }
    const std::size_t primary = m_entries.size();
    for (std::size_t i = 0; i < primary; ++i) {
        const int fallback = add(kFallbackFamily, m_entries[i]->bold, m_entries[i]->italic);
        if (std::size_t(fallback) != i)
            m_entries[i]->fallback = fallback;
    }
    // Shaping is a look-up per character: the faces the formats use get their table now.
    for (const int face : m_formatFaces) {
        Entry &e = *m_entries[std::size_t(face)];
        if (!e.bmp.empty())
            continue;
        std::vector<Glyph> table;
        table.reserve(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            append(c, face, table);
        e.bmp = std::move(table);
    }
}

int FontSet::add(const QString &family, bool bold, bool italic)
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry &e = *m_entries[i];
        if (e.bold == bold && e.italic == italic && e.family.compare(family, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    std::shared_ptr<const FontFace> face = FontFace::find(family, bold, italic);
    // Two names may lead to one face (an alias and its metric twin): keep one.
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->face->postScriptName() == face->postScriptName()) {
            face = m_entries[i]->face;
            break;
        }
    if (m_entries.size() >= 255)
        return 0;
    auto e = std::make_unique<Entry>();
    e->family = family;
    e->bold = bold;
    e->italic = italic;
    e->face = std::move(face);
    m_entries.push_back(std::move(e));
    return int(m_entries.size() - 1);
}

int FontSet::faceOfFormat(int format) const
{
    if (format < 0 || format >= int(m_formatFaces.size()))
        return m_formatFaces.empty() ? 0 : m_formatFaces.front();
    return m_formatFaces[std::size_t(format)];
}

const QByteArray &FontSet::fontFile(int index) const
{
    const Entry &e = *m_entries[std::size_t(index)];
    std::call_once(e.fileOnce, [&e] { e.file = e.face->fontFile(); });
    return e.file;
}

void FontSet::append(char32_t c, int face, std::vector<Glyph> &out) const
{
    const Entry &primary = *m_entries[std::size_t(face)];
    if (c < primary.bmp.size()) {
        out.push_back(primary.bmp[c]);
        return;
    }
    if (c == u'\t')
        c = u' ';
    Glyph g;
    g.character = c;
    if (c == u'\n' || c == u'\r') {
        g.character = u'\n';
        out.push_back(g);
        return;
    }
    g.face = std::uint8_t(face);
    g.glyph = primary.face->glyph(c);
    if (g.glyph == 0 && primary.fallback >= 0 && c >= 0x20) {
        if (const std::uint16_t other = m_entries[std::size_t(primary.fallback)]->face->glyph(c)) {
            g.glyph = other;
            g.face = std::uint8_t(primary.fallback);
        }
    }
    g.advance = float(m_entries[g.face]->face->advance(g.glyph));
    out.push_back(g);
}

void FontSet::shape(QStringView text, int face, std::vector<Glyph> &out) const
{
    reserveFor(out, std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        append(c, face, out);
    }
}

void FontSet::shapeUtf8(std::string_view text, int face, std::vector<Glyph> &out) const
{
    reserveFor(out, text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = std::uint8_t(text[i]);
        if (lead < 0x80) {
            append(lead, face, out);
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t c = length == 1 ? 0xFFFD : char32_t(lead & (0x7F >> length));
        std::size_t k = 1;
        for (; k < length && i + k < text.size() && (std::uint8_t(text[i + k]) & 0xC0) == 0x80; ++k)
            c = (c << 6) | (std::uint8_t(text[i + k]) & 0x3F);
        append(k == length ? c : 0xFFFD, face, out);
        i += k;
    }
}

} // namespace kalvor::sheets::print
