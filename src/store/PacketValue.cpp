#include "store/PacketValue.h"

#include "store/Cp1251.h"
#include "store/KalvorError.h"

#include <QByteArray>

namespace kalvor {

Charset charsetOfProlog(std::string_view head, bool hadBom)
{
    if (hadBom)
        return Charset::Utf8;
    if (head.substr(0, 5) != "<?xml")
        return Charset::Ansi;
    const std::size_t end = head.find("?>");
    const std::string_view prolog = head.substr(0, end == std::string_view::npos ? head.size() : end);
    const std::size_t enc = prolog.find("encoding");
    if (enc == std::string_view::npos)
        return Charset::Ansi;
    const std::size_t q = prolog.find_first_of("\"'", enc);
    if (q == std::string_view::npos)
        return Charset::Ansi;
    const std::size_t qe = prolog.find(prolog[q], q + 1);
    const QByteArray name(prolog.data() + q + 1,
                          static_cast<qsizetype>((qe == std::string_view::npos ? prolog.size() : qe) - q - 1));
    const QByteArray lower = name.toLower();
    if (lower == "utf-8" || lower == "utf8")
        return Charset::Utf8;
    if (lower == "windows-1251" || lower == "cp1251" || lower == "win-1251")
        return Charset::Ansi;
    throw KalvorError(QStringLiteral("кодировка «%1» не поддерживается").arg(QString::fromLatin1(name)));
}

namespace {

// The code point of a character reference "#65" or "#x41" (without & and ;), or 0 when it is none.
unsigned long characterReference(std::string_view name)
{
    if (name.size() < 2 || name[0] != '#')
        return 0;
    unsigned long code = 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    if (hex && name.size() == 2)
        return 0;
    for (std::size_t k = hex ? 2 : 1; k < name.size(); ++k) {
        const char c = name[k];
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0)
            return 0;
        code = code * (hex ? 16 : 10) + static_cast<unsigned long>(d);
        if (code > 0x10FFFF)
            return 0;
    }
    if (code >= 0xD800 && code <= 0xDFFF)
        return 0;
    return code;
}

char simpleEntity(std::string_view name)
{
    if (name == "quot")
        return '"';
    if (name == "amp")
        return '&';
    if (name == "lt")
        return '<';
    if (name == "gt")
        return '>';
    if (name == "apos")
        return '\'';
    return 0;
}

} // namespace

void decodePacketValue(std::string_view raw, Charset charset, std::string &out)
{
    out.clear();
    std::size_t start = 0;
    const std::size_t n = raw.size();
    const auto flush = [&](std::size_t upTo) {
        if (upTo > start) {
            const std::string_view run = raw.substr(start, upTo - start);
            if (charset == Charset::Ansi)
                cp1251::appendUtf8(out, run);
            else
                out.append(run);
        }
    };
    for (std::size_t i = raw.find('&'); i < n; i = raw.find('&', i + 1)) {
        // Entity names are short: looking further for the ";" would make a run of bare "&" quadratic.
        const std::size_t length = raw.substr(i + 1, 12).find(';');
        if (length == std::string_view::npos)
            continue;
        const std::size_t semi = i + 1 + length;
        const std::string_view name = raw.substr(i + 1, length);
        if (const char simple = simpleEntity(name)) {
            flush(i);
            out.push_back(simple);
        } else if (const unsigned long code = characterReference(name)) {
            flush(i);
            // In the 8-bit form a character reference above 127 stands for one byte of the code page.
            if (charset == Charset::Ansi && code >= 128 && code <= 255)
                cp1251::appendByteAsUtf8(out, static_cast<unsigned char>(code));
            else
                cp1251::appendCodePoint(out, static_cast<char32_t>(code));
        } else {
            continue;
        }
        start = semi + 1;
        i = semi;
    }
    flush(n);
}

QString packetTextToQString(std::string_view raw, Charset charset)
{
    std::string utf8;
    if (charset == Charset::Ansi)
        cp1251::appendUtf8(utf8, raw);
    else
        utf8.assign(raw);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kalvor
