#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSizeF>
#include <QString>

#include <vector>

class QIODevice;

namespace kalvor::sheets::print {

class FontSet;
struct GlyphUse;

// A PDF file written page by page: the pages' content streams as they come, the fonts (the used glyphs
// of each face, with a map back to characters for copying and searching text) once every page is known.
// Holds two numbers a page, never the pages themselves.
class PdfDocument final {
public:
    PdfDocument(QIODevice &out, const FontSet &fonts, QSizeF paper, const QString &title);

    // A page's content stream, compressed by deflate().
    void addPage(const QByteArray &deflated);
    void finish(const GlyphUse &use);
    // False when a write to the device failed.
    bool ok() const { return m_ok; }

    static QByteArray deflate(QByteArrayView raw);

private:
    int reserve();
    void begin(int id);
    void write(const QByteArray &bytes);
    void stream(int id, const QByteArray &deflated, const QByteArray &extra = {});
    void font(int face, const std::vector<char32_t> &glyphs, int id);

    QIODevice &m_out;
    const FontSet &m_fonts;
    QSizeF m_paper;
    QString m_title;
    std::vector<qint64> m_offsets; // by object number; [0] unused
    std::vector<int> m_pages;
    qint64 m_position = 0;
    bool m_ok = true;
};

} // namespace kalvor::sheets::print
