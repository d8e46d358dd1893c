#include "sheets/RowHeights.h"

#include <algorithm>
#include <cmath>

namespace kalvor::sheets {

namespace {

// Arial-like widths in em: a digit is 0.556, a space 0.278; capitals are wider than small letters. A line
// takes 1.2 em. Estimates err on the roomy side: a little white space is better than a cut word.
constexpr double kDigitWidth = 0.556;
constexpr double kSpaceWidth = 0.278;
constexpr double kBoldFactor = 1.08;
constexpr double kLineHeight = 1.2;
constexpr double kPadding = 2.0; // points lost to the cell's margins, across and down

double charWidth(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return kDigitWidth;
    if ((c >= U'A' && c <= U'Z') || (c >= U'\u0410' && c <= U'\u042F') || c == U'\u0401')
        return 0.70;
    if ((c >= U'a' && c <= U'z') || (c >= U'\u0430' && c <= U'\u044F') || c == U'\u0451')
        return 0.54;
    if (c == U' ')
        return kSpaceWidth;
    return c < 0x80 ? 0.36 : 0.6; // punctuation; other letters
}

// Width in em of UTF-8 text.
double textWidth(std::string_view utf8)
{
    double width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (std::size_t k = 1; k < n && i + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        width += charWidth(c);
        i += n;
    }
    return width;
}

// Lines a text takes when wrapped at word boundaries into lines `lineWidth` em wide.
int wrappedLines(std::string_view text, double lineWidth)
{
    int lines = 1;
    double used = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(" \n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const double word = textWidth(text.substr(start, end - start));
        if (used > 0 && used + kSpaceWidth + word > lineWidth) {
            ++lines;
            used = 0;
        }
        if (word > lineWidth) { // a word longer than a line is broken
            const int extra = static_cast<int>(std::ceil(word / lineWidth)) - 1;
            lines += extra;
            used = word - extra * lineWidth;
        } else {
            used += (used > 0 ? kSpaceWidth : 0) + word;
        }
        if (end < text.size() && text[end] == '\n') {
            ++lines;
            used = 0;
        }
        start = end + 1;
    }
    return lines;
}

} // namespace

void fitRowHeights(SheetLayout &sheet, int firstRow)
{
    const double baseSize = sheet.format(0).fontSize;
    for (int row = std::max(1, firstRow); row <= sheet.rowCount(); ++row) {
        if (sheet.height(row) > 0 || sheet.hidden(row))
            continue;
        double needed = 0;
        for (const SheetLayout::Cell &cell : sheet.cells(row)) {
            if (cell.kind != SheetLayout::Kind::Text)
                continue;
            const CellFormat &format = sheet.format(sheet.formatIndexAt(row, cell.column));
            if (!format.wrap)
                continue;
            double width = sheet.columnWidth(cell.column);
            for (const SheetLayout::Merge &m : sheet.merges(row))
                if (m.firstColumn == cell.column && m.rows == 1)
                    for (int c = m.firstColumn + 1; c <= m.lastColumn; ++c)
                        width += sheet.columnWidth(c);
            const double points = width * kDigitWidth * baseSize - kPadding;
            const double em = format.fontSize * (format.bold ? kBoldFactor : 1.0);
            const int lines = wrappedLines(sheet.utf8(cell), std::max(1.0, points / em));
            if (lines > 1)
                needed = std::max(needed, lines * kLineHeight * format.fontSize + kPadding);
        }
        if (needed > sheet.defaultRowHeight())
            sheet.setHeight(row, std::ceil(needed * 4) / 4);
    }
}

} // namespace kalvor::sheets
