#include "sheets/print/FontFace.h"

#include "store/KalvorError.h"

#include <QFont>
#include <QRawFont>

#include <algorithm>
#include <set>

namespace kalvor::sheets::print {

namespace {

constexpr std::uint32_t tagOf(const char *t)
{
    return (std::uint32_t(std::uint8_t(t[0])) << 24) | (std::uint32_t(std::uint8_t(t[1])) << 16) |
           (std::uint32_t(std::uint8_t(t[2])) << 8) | std::uint32_t(std::uint8_t(t[3]));
}

// The tables a face keeps: what a PDF reader needs to draw TrueType outlines, and what a font loader needs
// to open the file again.
constexpr const char *kKeptTables[] = {"cmap", "cvt ", "fpgm", "glyf", "head", "hhea",
                                       "hmtx", "loca", "maxp", "OS/2", "post", "prep"};

// Reads of big-endian numbers that give 0 past the end: a damaged font yields nonsense metrics, never a
// read outside its bytes.
std::uint32_t u8At(const QByteArray &b, qsizetype at)
{
    return at >= 0 && at < b.size() ? std::uint8_t(b[at]) : 0u;
}
std::uint32_t u16At(const QByteArray &b, qsizetype at)
{
    return (u8At(b, at) << 8) | u8At(b, at + 1);
}
std::int32_t i16At(const QByteArray &b, qsizetype at)
{
    return std::int16_t(std::uint16_t(u16At(b, at)));
}
std::uint32_t u32At(const QByteArray &b, qsizetype at)
{
    return (u16At(b, at) << 16) | u16At(b, at + 2);
}

void put16(QByteArray &b, qsizetype at, std::uint32_t v)
{
    if (at >= 0 && at + 2 <= b.size()) {
        b[at] = char(v >> 8);
        b[at + 1] = char(v);
    }
}
void append32(QByteArray &b, std::uint32_t v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    b.append(bytes, 4);
}
void append16(QByteArray &b, std::uint32_t v)
{
    const char bytes[2] = {char(v >> 8), char(v)};
    b.append(bytes, 2);
}

std::uint32_t checksum(const QByteArray &data)
{
    std::uint32_t sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4)
        sum += u32At(data, i); // the last word is padded with zeros
    return sum;
}

QString withoutSpaces(QString s)
{
    s.remove(u' ');
    return s;
}

} // namespace

std::shared_ptr<const FontFace> FontFace::find(const QString &family, bool bold, bool italic)
{
    QFont font(family);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferOutline | QFont::ForceOutline));
    font.setPixelSize(64);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        throw KalvorError(QStringLiteral("Не найден шрифт %1 для печати").arg(family));
    std::shared_ptr<FontFace> face(new FontFace);
    for (const char *tag : kKeptTables) {
        QByteArray data = raw.fontTable(tag);
        if (!data.isEmpty())
            face->m_tables.push_back({tagOf(tag), std::move(data)});
    }
    std::sort(face->m_tables.begin(), face->m_tables.end(),
              [](const Table &a, const Table &b) { return a.tag < b.tag; });
    face->m_bold = raw.weight() >= QFont::DemiBold;
    face->m_italic = raw.style() != QFont::StyleNormal;
    QByteArray style = raw.styleName().toLatin1();
    face->read(raw.familyName(), face->m_bold, face->m_italic, style);
    // The character map comes from the font loader, which knows every cmap format.
    face->m_bmp.assign(0x10000, 0);
    std::vector<QChar> chars(0x10000);
    for (int c = 0; c < 0x10000; ++c)
        chars[std::size_t(c)] = QChar::isSurrogate(char32_t(c)) ? QChar(u' ') : QChar(char16_t(c));
    std::vector<quint32> glyphs(0x10000);
    int count = int(glyphs.size());
    if (raw.glyphIndexesForChars(chars.data(), int(chars.size()), glyphs.data(), &count) && count == 0x10000)
        for (int c = 0; c < 0x10000; ++c)
            if (!QChar::isSurrogate(char32_t(c)) && glyphs[std::size_t(c)] < 0x10000u)
                face->m_bmp[std::size_t(c)] = std::uint16_t(glyphs[std::size_t(c)]);
    return face;
}

const QByteArray *FontFace::table(const char *tag) const
{
    const std::uint32_t t = tagOf(tag);
    const auto it = std::lower_bound(m_tables.begin(), m_tables.end(), t,
                                     [](const Table &a, std::uint32_t b) { return a.tag < b; });
    return it != m_tables.end() && it->tag == t ? &it->data : nullptr;
}

void FontFace::read(const QString &family, bool bold, bool italic, const QByteArray &style)
{
    m_family = family;
    m_bold = bold;
    m_italic = italic;
    const QByteArray *head = table("head");
    const QByteArray *hhea = table("hhea");
    const QByteArray *maxp = table("maxp");
    const QByteArray *glyf = table("glyf");
    if (!head || !hhea || !maxp || !glyf || !table("loca") || !table("hmtx"))
        throw KalvorError(QStringLiteral("Шрифт %1 не подходит для печати: в нем нет контуров TrueType").arg(family));
    m_unitsPerEm = std::clamp(int(u16At(*head, 18)), 16, 16384);
    for (int i = 0; i < 4; ++i)
        m_bbox[i] = i16At(*head, 36 + 2 * i);
    m_longLoca = i16At(*head, 50) != 0;
    const double em = m_unitsPerEm;
    m_ascent = std::abs(i16At(*hhea, 4)) / em;
    m_descent = std::abs(i16At(*hhea, 6)) / em;
    m_lineGap = std::max(0, i16At(*hhea, 8)) / em;
    const int metrics = int(u16At(*hhea, 34));
    m_glyphCount = int(u16At(*maxp, 4));
    m_advances.assign(std::size_t(m_glyphCount), 0);
    if (const QByteArray *hmtx = table("hmtx")) {
        double last = 0;
        for (int g = 0; g < m_glyphCount; ++g) {
            if (g < metrics && 4 * qsizetype(g) + 2 <= hmtx->size())
                last = u16At(*hmtx, 4 * qsizetype(g)) / em;
            m_advances[std::size_t(g)] = float(last);
        }
    }
    m_defaultAdvance = m_glyphCount > 0 ? m_advances[0] : 0.5;
    m_capHeight = int(m_ascent * 0.7 * em);
    if (const QByteArray *os2 = table("OS/2"); os2 && u16At(*os2, 0) >= 2 && os2->size() >= 90)
        m_capHeight = i16At(*os2, 88);
    if (const QByteArray *post = table("post")) {
        m_italicAngle = double(std::int32_t(u32At(*post, 4))) / 65536.0;
        m_fixedPitch = u32At(*post, 12) != 0;
    }
    QString name = withoutSpaces(family);
    const QString styleName = withoutSpaces(QString::fromLatin1(style));
    if (!styleName.isEmpty() && styleName.compare(u"Regular", Qt::CaseInsensitive) != 0)
        name += u'-' + styleName;
    // A PDF name takes no delimiters.
    for (QChar &c : name)
        if (c.unicode() < 33 || c.unicode() > 126 || QStringView(u"()<>[]{}/%#").contains(c))
            c = u'_';
    m_postScriptName = name;
}

std::uint16_t FontFace::glyph(char32_t c) const
{
    return c < m_bmp.size() ? m_bmp[c] : 0;
}

QByteArray FontFace::fontFile() const
{
    return build({}, {});
}

QByteArray FontFace::subset(const std::vector<bool> &used) const
{
    const QByteArray &glyf = *table("glyf");
    const QByteArray &loca = *table("loca");
    const auto location = [&](int g) -> qsizetype {
        return m_longLoca ? qsizetype(u32At(loca, 4 * qsizetype(g))) : 2 * qsizetype(u16At(loca, 2 * qsizetype(g)));
    };
    const auto span = [&](int g) -> std::pair<qsizetype, qsizetype> {
        const qsizetype from = std::min(location(g), glyf.size());
        const qsizetype to = std::clamp(location(g + 1), from, glyf.size());
        return {from, to};
    };
    // The glyphs asked for, glyph 0 and every glyph a composite glyph is made of.
    std::vector<bool> keep(std::size_t(m_glyphCount), false);
    std::vector<int> pending;
    const auto want = [&](int g) {
        if (g >= 0 && g < m_glyphCount && !keep[std::size_t(g)]) {
            keep[std::size_t(g)] = true;
            pending.push_back(g);
        }
    };
    want(0);
    for (std::size_t g = 0; g < used.size(); ++g)
        if (used[g])
            want(int(g));
    while (!pending.empty()) {
        const int g = pending.back();
        pending.pop_back();
        const auto [from, to] = span(g);
        if (to - from < 10 || i16At(glyf, from) >= 0)
            continue;
        qsizetype at = from + 10;
        for (int parts = 0; parts < 64 && at + 4 <= to; ++parts) {
            const std::uint32_t flags = u16At(glyf, at);
            want(int(u16At(glyf, at + 2)));
            at += 4 + ((flags & 0x1) ? 4 : 2);
            at += (flags & 0x8) ? 2 : (flags & 0x40) ? 4 : (flags & 0x80) ? 8 : 0;
            if (!(flags & 0x20))
                break;
        }
    }
    QByteArray newGlyf;
    QByteArray newLoca;
    newLoca.reserve(4 * (qsizetype(m_glyphCount) + 1));
    for (int g = 0; g < m_glyphCount; ++g) {
        append32(newLoca, std::uint32_t(newGlyf.size()));
        if (keep[std::size_t(g)]) {
            const auto [from, to] = span(g);
            newGlyf.append(glyf.constData() + from, to - from);
            while (newGlyf.size() % 4)
                newGlyf.append('\0');
        }
    }
    append32(newLoca, std::uint32_t(newGlyf.size()));
    return build(newGlyf, newLoca);
}

QByteArray FontFace::build(const QByteArray &glyf, const QByteArray &loca) const
{
    std::vector<Table> tables = m_tables;
    for (Table &t : tables) {
        if (!glyf.isNull() && t.tag == tagOf("glyf"))
            t.data = glyf;
        else if (!loca.isNull() && t.tag == tagOf("loca"))
            t.data = loca;
        else if (t.tag == tagOf("head")) {
            t.data.detach();
            put16(t.data, 8, 0); // checkSumAdjustment, left at zero as readers allow
            put16(t.data, 10, 0);
            if (!loca.isNull())
                put16(t.data, 50, 1); // the new loca has long offsets
        }
    }
    QByteArray out;
    const int n = int(tables.size());
    int power = 1;
    int log2 = 0;
    while (power * 2 <= n) {
        power *= 2;
        ++log2;
    }
    append32(out, 0x00010000u);
    append16(out, std::uint32_t(n));
    append16(out, std::uint32_t(power * 16));
    append16(out, std::uint32_t(log2));
    append16(out, std::uint32_t(n * 16 - power * 16));
    std::uint32_t offset = 12 + 16 * std::uint32_t(n);
    for (const Table &t : tables) {
        append32(out, t.tag);
        append32(out, checksum(t.data));
        append32(out, offset);
        append32(out, std::uint32_t(t.data.size()));
        offset += (std::uint32_t(t.data.size()) + 3) & ~3u;
    }
    for (const Table &t : tables) {
        out.append(t.data);
        while (out.size() % 4)
            out.append('\0');
    }
    return out;
}

} // namespace kalvor::sheets::print
