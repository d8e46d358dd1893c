#include "sheets/print/PdfDocument.h"

#include "app/Version.h"
#include "sheets/print/FontSet.h"
#include "sheets/print/PdfCanvas.h"

#include <QDateTime>
#include <QIODevice>

#include <libdeflate.h>

#include <memory>
#include <new>

namespace kalvor::sheets::print {

namespace {

constexpr int kCatalog = 1;
constexpr int kPages = 2;
constexpr int kResources = 3;
constexpr int kInfo = 4;

QByteArray num(double value)
{
    return QByteArray::number(value, 'f', 3).replace(".000", "");
}

// A text string of the document information: UTF-16 with its byte order mark, in hex.
QByteArray textString(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode() | 0x10000, 16).mid(1).toUpper();
    return hex + '>';
}

QByteArray hex4(unsigned value)
{
    return QByteArray::number(value | 0x10000u, 16).mid(1).toUpper();
}

QByteArray utf16Hex(char32_t c)
{
    if (c < 0x10000)
        return hex4(unsigned(c));
    const char32_t v = c - 0x10000;
    return hex4(0xD800 + (v >> 10)) + hex4(0xDC00 + (v & 0x3FF));
}

} // namespace

PdfDocument::PdfDocument(QIODevice &out, const FontSet &fonts, QSizeF paper, const QString &title)
    : m_out(out), m_fonts(fonts), m_paper(paper), m_title(title), m_offsets(kInfo + 1, 0)
{
    write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
}

int PdfDocument::reserve()
{
    m_offsets.push_back(0);
    return int(m_offsets.size() - 1);
}

void PdfDocument::write(const QByteArray &bytes)
{
    if (m_out.write(bytes) != bytes.size())
        m_ok = false;
    m_position += bytes.size();
}

void PdfDocument::begin(int id)
{
    m_offsets[std::size_t(id)] = m_position;
    write(QByteArray::number(id) + " 0 obj\n");
}

void PdfDocument::stream(int id, const QByteArray &deflated, const QByteArray &extra)
{
    begin(id);
    write("<< /Length " + QByteArray::number(deflated.size()) + " /Filter /FlateDecode" + extra + " >>\nstream\n");
    write(deflated);
    write("\nendstream\nendobj\n");
}

QByteArray PdfDocument::deflate(QByteArrayView raw)
{
    // One compressor a thread, kept: pages are compressed on several threads, thousands of them. The
    // fastest level, as page streams repeat themselves so much that it still takes them to a fifth.
    using Compressor = std::unique_ptr<libdeflate_compressor, decltype(&libdeflate_free_compressor)>;
    thread_local const Compressor compressor(libdeflate_alloc_compressor(1), &libdeflate_free_compressor);
    if (!compressor)
        throw std::bad_alloc();
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), std::size_t(raw.size()));
    QByteArray out(qsizetype(bound), Qt::Uninitialized);
    const std::size_t size =
        libdeflate_zlib_compress(compressor.get(), raw.constData(), std::size_t(raw.size()), out.data(), bound);
    out.truncate(qsizetype(size));
    return out;
}

void PdfDocument::addPage(const QByteArray &deflated)
{
    const int page = reserve();
    const int content = reserve();
    m_pages.push_back(page);
    begin(page);
    write("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + num(m_paper.width()) + ' ' + num(m_paper.height()) +
          "] /Resources 3 0 R /Contents " + QByteArray::number(content) + " 0 R >>\nendobj\n");
    stream(content, deflated);
}

void PdfDocument::font(int face, const std::vector<char32_t> &glyphs, int id)
{
    const FontFace &f = m_fonts.face(face);
    const int cid = reserve();
    const int descriptor = reserve();
    const int file = reserve();
    const int toUnicode = reserve();
    std::vector<bool> used(glyphs.size(), false);
    for (std::size_t g = 0; g < glyphs.size(); ++g)
        used[g] = glyphs[g] != 0;
    // A subset's name starts with six capitals of its own; made from the face's number, stable per file.
    QByteArray tag;
    for (unsigned v = unsigned(face) * 7919u + 104729u, i = 0; i < 6; ++i, v /= 26)
        tag += char('A' + v % 26);
    const QByteArray name = '/' + tag + '+' + f.postScriptName().toLatin1();
    const double em = 1000.0 / f.unitsPerEm();

    QByteArray widths = "[";
    for (std::size_t g = 0; g < glyphs.size();) {
        if (!used[g]) {
            ++g;
            continue;
        }
        widths += QByteArray::number(qulonglong(g)) + " [";
        for (; g < glyphs.size() && used[g]; ++g)
            widths += num(f.advance(std::uint16_t(g)) * 1000) + ' ';
        widths += "] ";
    }
    widths += ']';

    begin(id);
    write("<< /Type /Font /Subtype /Type0 /BaseFont " + name + " /Encoding /Identity-H /DescendantFonts [" +
          QByteArray::number(cid) + " 0 R] /ToUnicode " + QByteArray::number(toUnicode) + " 0 R >>\nendobj\n");
    begin(cid);
    write("<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + name +
          " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
          QByteArray::number(descriptor) + " 0 R /CIDToGIDMap /Identity /DW " + num(f.advance(0) * 1000) + " /W " +
          widths + " >>\nendobj\n");
    const int *box = f.boundingBox();
    const int flags = 32 | (f.fixedPitch() ? 1 : 0) | (f.italic() ? 64 : 0);
    begin(descriptor);
    write("<< /Type /FontDescriptor /FontName " + name + " /Flags " + QByteArray::number(flags) + " /FontBBox [" +
          num(box[0] * em) + ' ' + num(box[1] * em) + ' ' + num(box[2] * em) + ' ' + num(box[3] * em) +
          "] /ItalicAngle " + num(f.italicAngle()) + " /Ascent " + num(f.ascent() * 1000) + " /Descent " +
          num(-f.descent() * 1000) + " /CapHeight " + num(f.capHeight() * em) + " /StemV " + (f.bold() ? "120" : "80") +
          " /FontFile2 " + QByteArray::number(file) + " 0 R >>\nendobj\n");
    const QByteArray subset = f.subset(used);
    stream(file, deflate(subset), " /Length1 " + QByteArray::number(subset.size()));

    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    std::vector<std::size_t> mapped;
    for (std::size_t g = 0; g < glyphs.size(); ++g)
        if (glyphs[g] != 0)
            mapped.push_back(g);
    for (std::size_t i = 0; i < mapped.size(); i += 100) {
        const std::size_t n = std::min<std::size_t>(100, mapped.size() - i);
        cmap += QByteArray::number(qulonglong(n)) + " beginbfchar\n";
        for (std::size_t k = i; k < i + n; ++k)
            cmap += '<' + hex4(unsigned(mapped[k])) + "> <" + utf16Hex(glyphs[mapped[k]]) + ">\n";
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    stream(toUnicode, deflate(cmap));
}

void PdfDocument::finish(const GlyphUse &use)
{
    QByteArray fonts;
    for (std::size_t face = 0; face < use.byFace.size(); ++face) {
        if (use.byFace[face].empty())
            continue;
        const int id = reserve();
        fonts += "/F" + QByteArray::number(qulonglong(face)) + ' ' + QByteArray::number(id) + " 0 R ";
        font(int(face), use.byFace[face], id);
    }
    begin(kResources);
    write("<< /ProcSet [/PDF /Text] /Font << " + fonts + ">> >>\nendobj\n");
    QByteArray kids;
    for (const int page : m_pages)
        kids += QByteArray::number(page) + " 0 R ";
    begin(kPages);
    write("<< /Type /Pages /Count " + QByteArray::number(qulonglong(m_pages.size())) + " /Kids [" + kids +
          "] >>\nendobj\n");
    begin(kCatalog);
    write("<< /Type /Catalog /Pages 2 0 R >>\nendobj\n");
    begin(kInfo);
    const QByteArray now = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    write("<< /Title " + textString(m_title) + " /Producer " + textString(QStringLiteral("Kalvor ") + versionText()) +
          " /CreationDate (D:" + now + "Z) >>\nendobj\n");
    const qint64 xref = m_position;
    QByteArray table = "xref\n0 " + QByteArray::number(qulonglong(m_offsets.size())) + "\n0000000000 65535 f \n";
    for (std::size_t id = 1; id < m_offsets.size(); ++id)
        table += QByteArray::number(m_offsets[id]).rightJustified(10, '0') + " 00000 n \n";
    write(table);
    write("trailer\n<< /Size " + QByteArray::number(qulonglong(m_offsets.size())) +
          " /Root 1 0 R /Info 4 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
}

} // namespace kalvor::sheets::print
