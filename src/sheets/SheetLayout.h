#pragma once

#include <QDate>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor::sheets {

// A colour as 0xRRGGBB (red in the high byte; the reverse of the 0xBBGGRR of automation calls).
using Rgb = std::uint32_t;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kRed = 0xFF0000;

// How a template cell looks, read from the workbook template's styles, for writers that have no template
// of their own (print, PDF). Writers that copy formats from a template (xlsx, Calc) need not read it.
struct CellFormat {
    enum class Horizontal : std::uint8_t { General, Left, Center, Right };
    enum class Vertical : std::uint8_t { Bottom, Center, Top };
    // Border bits: a thin or thicker line on that side.
    static constexpr std::uint8_t kLeft = 1, kRight = 2, kTop = 4, kBottom = 8;

    QString numberFormat = QStringLiteral("General"); // the format code, e.g. "0.000" or "dd.mm.yyyy"
    QString fontName = QStringLiteral("Arial");
    double fontSize = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    Rgb fontColour = kBlack;
    std::optional<Rgb> fill; // solid background, none when the cell is not filled
    std::uint8_t borders = 0;
    Horizontal horizontal = Horizontal::General;
    Vertical vertical = Vertical::Bottom;
    bool wrap = false;
    int rotation = 0; // text rotation in degrees, counter-clockwise; 0 for none

    bool operator==(const CellFormat &) const = default;
};

// One worksheet laid out in memory: what the declaration export and the error report compute once, and what
// every writer (xlsx, LibreOffice Calc, print/PDF) renders without knowing how it was computed.
//
// It starts as the first sheet of a workbook template (XlsxWorkbook::sheet()): every template row with its
// texts, numbers, merged cells, height and formats. The algorithms then edit it with the operations a
// spreadsheet application offers (write a cell, insert, delete or copy rows, font colour of a range), and
// the result is the finished sheet, row by row.
//
// What a writer does with each part:
// - Rows 1..rowCount(), columns 1..columnCount(). Each row's cells() are its non-empty values in column
//   order: Text (utf8()/text()), Number (number()) or Date (date(); shown as dd.MM.yyyy). A column missing
//   from cells() is empty. Write the values; a writer that keeps its own template may turn numbers into
//   text if it must, but should not change them otherwise.
//   displayText(row, column) gives the value as the cell shows it, for writers that draw text.
// - formatRow(row): the template row whose formats the row takes (a copy of template row 34 has
//   formatRow 34; a row inserted under it too). Template writers copy that template row's cell formats
//   (borders, number formats, fonts, row-level format); others use format(formatIndexAt(row, column)).
//   0 means no template row: default formats.
// - fontColourAt(row, column): a font colour set by the algorithm; it overrides the format's font colour.
// - merges(row): the merged areas whose top-left cell is in this row (first/last column, rows down).
// - height(row): row height in points; 0 means the sheet's defaultRowHeight(). hidden(row): not shown.
// - columnWidth(column): in characters of the default font (the xlsx unit); hidden columns have width 0.
// - page(): orientation, fitting to the page width and the heading rows to repeat on every printed page
//   (already moved to where those rows are now).
//
// Costs: rows live in one vector, so an insertion or deletion costs the rows below it (for the exports,
// the dozen template rows under the data area), never the rows already written; merged cells belong to
// their top row and move with it. Texts are kept in one buffer for the whole sheet.
//
// Formulas: the model holds values only. A formula cell of a template arrives as its cached value and
// stays that value; the templates of this program use no formulas, so no reference needs shifting.
class SheetLayout final {
public:
    enum class Kind : std::uint8_t { Empty, Text, Number, Date };

    // A value to write into a cell.
    struct Value {
        Kind kind = Kind::Empty;
        QString text;      // Kind::Text
        double number = 0; // Kind::Number
        QDate date;        // Kind::Date

        static Value empty() { return {}; }
        static Value ofText(const QString &text); // empty text is an empty value, as in a spreadsheet
        static Value ofNumber(double number);
        static Value ofDate(const QDate &date); // an invalid date is an empty value
        bool operator==(const Value &) const = default;
    };

    // One stored cell of a row.
    struct Cell {
        std::uint64_t bits = 0; // the number, the date's Julian day, or the text's offset and length
        std::uint16_t column = 0;
        Kind kind = Kind::Empty;

        double number() const;          // Kind::Number
        QDate date() const;             // Kind::Date
        std::int64_t julianDay() const; // Kind::Date
    };

    struct Merge {
        std::uint16_t firstColumn = 0;
        std::uint16_t lastColumn = 0;
        int rows = 1; // rows down from the row that holds it, itself included
        bool operator==(const Merge &) const = default;
    };

    struct ColourSpan {
        std::uint16_t firstColumn = 0;
        std::uint16_t lastColumn = 0;
        Rgb colour = kBlack;
    };

    struct Page {
        bool landscape = false;
        int fitToWidth = 0;     // pages across, 0 when the sheet is not fitted to the page
        int fitToHeight = 0;    // pages down when fitted, 0 for as many as needed
        int firstRepeatRow = 0; // heading rows printed on every page (0 when none)
        int lastRepeatRow = 0;
    };

    SheetLayout();

    // --- reading ------------------------------------------------------------------------------------
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    int columnCount() const; // the last column that holds a value, a format, a merge or a width
    std::span<const Cell> cells(int row) const;
    std::string_view utf8(const Cell &cell) const;
    QString text(const Cell &cell) const;
    // The value of one cell, for tests and small lookups (a binary search in the row).
    Value value(int row, int column) const;
    QString textAt(int row, int column) const; // a text as stored, a number or date as text; empty if none
    // The value as the cell shows it: a number in the cell's number format ("0.000" gives 12,500) with a
    // decimal comma, a date as dd.MM.yyyy, a text as it is. For writers that draw or pass text.
    QString displayText(int row, int column) const;

    int formatRow(int row) const;
    const std::vector<Merge> &merges(int row) const;
    double height(int row) const;
    bool hidden(int row) const;
    std::optional<Rgb> fontColourAt(int row, int column) const;
    const std::vector<ColourSpan> &fontColours(int row) const;

    // Formats: indices into formats(), the template workbook's cell styles.
    const CellFormat &format(int index) const;
    int formatCount() const { return static_cast<int>(m_formats.size()); }
    int formatIndexAt(int row, int column) const;

    double columnWidth(int column) const;
    double defaultRowHeight() const { return m_defaultRowHeight; }
    double defaultColumnWidth() const { return m_defaultColumnWidth; }
    Page page() const;

    // --- the operations the export algorithms use (rows and columns count from 1) -------------------
    // Writes a value; the cell keeps its format. An empty value clears the cell.
    void setCell(int row, int column, const Value &value);
    void setText(int row, int column, const QString &text) { setCell(row, column, Value::ofText(text)); }
    void setTextUtf8(int row, int column, std::string_view utf8); // the same without a QString on the way
    void setNumber(int row, int column, double number) { setCell(row, column, Value::ofNumber(number)); }
    // A blank row at `row`; the rows from there on move down by one. It takes the formats, height and
    // font colours of the row above (not its merges or values).
    void insertRow(int row);
    // Removes a row; the rows below move up by one.
    void deleteRow(int row);
    // Pastes rows first..last (contents, formats, merged cells, heights, font colours) from `destination`
    // on, replacing what those rows held.
    void copyRows(int first, int last, int destination);
    // The font colour of the cells of a rectangle.
    void setFontColour(int firstRow, int lastRow, int firstColumn, int lastColumn, Rgb colour);

    // --- building from a template (XlsxWorkbook) ------------------------------------------------------
    struct TemplateCell {
        std::uint16_t column = 0;
        int format = 0;
    };
    struct TemplateRow {
        std::vector<TemplateCell> cells; // formats of the cells the template row styles, by column
        int rowFormat = -1;              // the row's own format for cells it does not list, or -1
    };
    struct Column {
        double width = -1; // -1: default width
        bool hidden = false;
        int format = -1;
    };
    // Resets the sheet to `rows` template rows: row r takes its formats from templateRows[r - 1].
    void startFromTemplate(std::vector<TemplateRow> templateRows, std::vector<CellFormat> formats);
    void setHeight(int row, double points);
    void setHidden(int row, bool hidden);
    void addMerge(int row, const Merge &merge);
    void setColumns(std::vector<Column> columns) { m_columns = std::move(columns); }
    void setDefaults(double rowHeight, double columnWidth);
    // The page set-up; the repeated rows are given as template rows and follow them as rows move.
    void setPage(const Page &page);
    // Where each template row is now (0 when it was deleted); index 0 unused. Writers use it to move
    // references of the template (print areas, page breaks).
    std::vector<int> templateRowPositions() const;
    const std::vector<TemplateRow> &templateRows() const { return m_templateRows; }
    const std::vector<Column> &columns() const { return m_columns; }

private:
    struct Row {
        std::vector<Cell> cells; // sorted by column, no empty cells
        std::vector<Merge> merges;
        std::vector<ColourSpan> colours;
        int formatRow = 0;
        int origin = 0; // the template row this row is (moved, never copied); 0 otherwise
        float height = 0;
        bool hidden = false;
    };

    Row &rowAt(int row); // extends the sheet with blank rows when needed
    const Row *findRow(int row) const;
    Cell makeCell(int column, const Value &value);
    Cell makeText(int column, std::string_view utf8);
    void place(int row, const Cell &cell);
    void checkRow(int row) const;
    static void checkColumn(int column);
    // Merges of rows above `row` that reach down to it: (anchor row index, merge index).
    template <typename F> void forMergesReaching(int row, F &&f);

    std::vector<Row> m_rows;
    std::string m_text;
    std::vector<TemplateRow> m_templateRows;
    std::vector<CellFormat> m_formats;
    std::vector<Column> m_columns;
    double m_defaultRowHeight = 12.75;
    double m_defaultColumnWidth = 8.43;
    Page m_page; // repeat rows as template rows
    int m_tallestMerge = 1;
};

// A number as a number format shows it, with a decimal comma and without digit grouping: "0.000", "0.00",
// "0", "0%" and "General" (15 significant digits); a date format shows dd.MM.yyyy of the day number.
QString formatNumber(double value, const QString &numberFormat);

// What formatNumber() reads from a format code, for writers that show many numbers in a few formats.
struct NumberStyle {
    enum class Kind { General, Fixed, Date };
    Kind kind = Kind::General;
    int decimals = 0; // Fixed
    bool percent = false;
    static NumberStyle of(const QString &numberFormat);
};

// Room for the text of any number: a double has at most 309 integer digits.
using NumberText = std::array<char, 352>;
// The text formatNumber() gives, as ASCII in `buffer`, without a string made per number.
std::string_view formatNumber(double value, const NumberStyle &style, NumberText &buffer);
// A date as dd.MM.yyyy (empty when it is not valid).
std::string_view formatDate(QDate date, NumberText &buffer);

// Column letters: 1 -> "A", 33 -> "AG"; and back (0 when the text is not a column).
QString columnName(int column);
int columnNumber(QStringView letters);

} // namespace kalvor::sheets
