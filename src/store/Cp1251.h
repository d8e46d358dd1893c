#pragma once

#include <string>
#include <string_view>

namespace kalvor::cp1251 {

// Appends the UTF-8 form of Windows-1251 bytes.
void appendUtf8(std::string &out, std::string_view cp1251);
// Appends one Windows-1251 byte as UTF-8.
void appendByteAsUtf8(std::string &out, unsigned char byte);
// Appends the Windows-1251 form of UTF-8 text; false (with `out` partly written) when a character has
// no Windows-1251 byte or the text is not valid UTF-8.
bool appendFromUtf8(std::string &out, std::string_view utf8);
// Whether every character of the UTF-8 text has a Windows-1251 byte.
bool fits(std::string_view utf8);
// Whether the bytes are valid UTF-8 (used to tell UTF-8 text files from Windows-1251 ones).
bool isValidUtf8(std::string_view bytes);
// Appends the UTF-8 encoding of a code point.
void appendCodePoint(std::string &out, char32_t codePoint);

} // namespace kalvor::cp1251
