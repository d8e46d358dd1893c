#include "store/EscapedText.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstdio>

namespace kalvor {
namespace {

// ASCII bytes that pass unchanged.
constexpr std::array<bool, 128> kPlain = [] {
    std::array<bool, 128> table{};
    for (int c = 0x20; c < 0x7F; ++c)
        table[static_cast<std::size_t>(c)] = c != '\\';
    return table;
}();

bool reordersOrBreaks(char32_t cp)
{
    return (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029 || (cp >= 0x202A && cp <= 0x202E)
           || (cp >= 0x2066 && cp <= 0x2069);
}

// Length and code point of the UTF-8 sequence at s[i], or 0 when it is not valid UTF-8.
std::size_t sequence(std::string_view s, std::size_t i, char32_t &cp)
{
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t length = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (cc & 0x3Fu);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

void appendCode(std::string &out, const char *format, unsigned value)
{
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, format, value);
    out.append(buffer, static_cast<std::size_t>(n));
}

} // namespace

void appendEscaped(std::string &out, std::string_view utf8)
{
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80 && kPlain[c]) {
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = c < 0x80 ? 1 : sequence(utf8, i, cp);
        if (length > 1 && !reordersOrBreaks(cp)) {
            i += length;
            continue;
        }
        out.append(utf8.data() + start, i - start);
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            // Byte by byte, as PostgreSQL's COPY text form reads them back.
            for (std::size_t k = 0; k < std::max<std::size_t>(length, 1); ++k)
                appendCode(out, "\\x%02x", static_cast<unsigned char>(utf8[i + k]));
        }
        i += length > 1 ? length : 1;
        start = i;
    }
    out.append(utf8.data() + start, utf8.size() - start);
}

std::string escapedUtf8(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()));
    appendEscaped(out, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    return out;
}

} // namespace kalvor
