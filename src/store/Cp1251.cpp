#include "store/Cp1251.h"

#include <array>

namespace kalvor::cp1251 {
namespace {

// Code points of bytes 0x80..0xFF; 0 marks the one byte (0x98) that has no character.
constexpr std::array<char16_t, 128> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C,
    0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9,
    0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415,
    0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431,
    0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D,
    0x044E, 0x044F};

// UTF-8 bytes of each high byte, built once: the hot path of loading copies these.
struct Utf8Table {
    std::array<std::array<char, 3>, 128> bytes{};
    std::array<unsigned char, 128> length{};
    constexpr Utf8Table()
    {
        for (int i = 0; i < 128; ++i) {
            char32_t cp = kHigh[static_cast<std::size_t>(i)] ? kHigh[static_cast<std::size_t>(i)] : 0xFFFD;
            auto &b = bytes[static_cast<std::size_t>(i)];
            if (cp < 0x800) {
                b[0] = static_cast<char>(0xC0 | (cp >> 6));
                b[1] = static_cast<char>(0x80 | (cp & 0x3F));
                length[static_cast<std::size_t>(i)] = 2;
            } else {
                b[0] = static_cast<char>(0xE0 | (cp >> 12));
                b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                b[2] = static_cast<char>(0x80 | (cp & 0x3F));
                length[static_cast<std::size_t>(i)] = 3;
            }
        }
    }
};
constexpr Utf8Table kUtf8;

int byteForCodePoint(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<int>(cp - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i) // the rest of the table, rarely hit
        if (kHigh[static_cast<std::size_t>(i)] == cp && cp != 0)
            return 0x80 + i;
    return -1;
}

// Decodes one UTF-8 sequence at s[i]; returns the code point and advances i, or -1 on a bad sequence.
long decodeUtf8(std::string_view s, std::size_t &i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra;
    char32_t cp;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return -1;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size())
        return -1;
    for (int k = 1; k <= extra; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((cc & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (cc & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    i += static_cast<std::size_t>(extra) + 1;
    return static_cast<long>(cp);
}

} // namespace

void appendByteAsUtf8(std::string &out, unsigned char byte)
{
    if (byte < 0x80) {
        out.push_back(static_cast<char>(byte));
        return;
    }
    const std::size_t i = byte - 0x80u;
    out.append(kUtf8.bytes[i].data(), kUtf8.length[i]);
}

void appendUtf8(std::string &out, std::string_view cp1251)
{
    // Room for the longest form first, then one pass that writes without checks: loading spends
    // much of its time here.
    const std::size_t at = out.size();
    out.resize(at + cp1251.size() * 3);
    char *w = out.data() + at;
    for (const char byte : cp1251) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            *w++ = byte;
            continue;
        }
        const auto &utf8 = kUtf8.bytes[c - 0x80u];
        w[0] = utf8[0];
        w[1] = utf8[1];
        w[2] = utf8[2];
        w += kUtf8.length[c - 0x80u];
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
}

bool appendFromUtf8(std::string &out, std::string_view utf8)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        const long cp = decodeUtf8(utf8, i);
        if (cp < 0)
            return false;
        const int b = byteForCodePoint(static_cast<char32_t>(cp));
        if (b < 0)
            return false;
        out.push_back(static_cast<char>(b));
    }
    return true;
}

bool fits(std::string_view utf8)
{
    std::size_t i = 0;
    while (i < utf8.size()) {
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        const long cp = decodeUtf8(utf8, i);
        if (cp < 0 || byteForCodePoint(static_cast<char32_t>(cp)) < 0)
            return false;
    }
    return true;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        if (decodeUtf8(bytes, i) < 0)
            return false;
    }
    return true;
}

void appendCodePoint(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace kalvor::cp1251
