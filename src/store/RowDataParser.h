#pragma once

#include "store/PacketInput.h"
#include "store/PacketValue.h"
#include "store/TableData.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kalvor {

// Reads the rows of a data packet, the content of ROWDATA, in one pass over the bytes as they arrive:
// each ROW goes straight into the table, with its attributes matched to the columns by name in the
// file's charset. Memory grows with the cells present, and the work with the bytes.
class RowDataParser final {
public:
    RowDataParser(PacketBuffer &buffer, TableData &out, Charset charset);

    // Reads from `position` of the buffer's window through the end tag of ROWDATA and returns the
    // window position after it. Throws KalvorError naming the row on a fault.
    std::size_t parse(std::size_t position);

private:
    enum class Scan { Done, NeedMore };
    enum class Item { Skipped, Row, End, NeedMore };
    static constexpr std::size_t kRowState = static_cast<std::size_t>(-1);
    struct Attribute {
        std::size_t field = 0; // column, or kRowState
        std::size_t value = 0; // offset from the row's "<"
        std::size_t valueLength = 0;
        unsigned flags = 0;
    };

    Item parseItem(const char *p, const char *end, const char *&next);
    Scan scanRow(const char *p, const char *end, const char *&next);
    Scan skipRowContent(const char *q, const char *end, const char *&next);
    Scan skipMarkup(const char *p, const char *end, const char *&next) const;
    Scan scanEndTag(const char *p, const char *end, std::string_view element, bool insideRow, const char *&next) const;
    const char *scanAttributeName(const char *q, const char *end, std::size_t expected, std::size_t &field) const;
    void addRow(const char *base);
    void reserveFromSample(std::uint64_t sampleBytes);
    [[noreturn]] void xmlError(const QString &what, bool insideRow) const;

    PacketBuffer &m_buffer;
    TableData &m_out;
    const Charset m_charset;
    std::vector<std::string> m_names; // column names in the file's charset
    std::unordered_map<std::string_view, std::size_t> m_fieldByName;
    std::vector<FieldKind> m_kinds;
    std::vector<std::pair<qint64, qint64>> m_integerRanges;
    std::vector<Cell> m_row;               // the row being read, one cell per column
    std::vector<std::uint32_t> m_present;  // its columns that hold a value
    std::vector<std::size_t> m_seenInRow;  // row number that last named each column
    std::vector<Attribute> m_attributes;
    std::string m_scratch;
    std::size_t m_rowNumber = 0;
    std::size_t m_cellCount = 0;
    std::uint64_t m_rowsStart = 0;
    bool m_reserved = false;
};

} // namespace kalvor
