#pragma once

#include "store/FieldDef.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// One cell: a slice of the table's text buffer, or NULL.
struct Cell {
    static constexpr std::uint32_t kNull = 0xFFFFFFFFu;
    std::uint32_t offset = 0;
    std::uint32_t length = kNull;
    bool isNull() const { return length == kNull; }
};

// Row state bits of the change log model.
namespace RowState {
constexpr unsigned Original = 1; // an older version of a changed row
constexpr unsigned Deleted = 2;
constexpr unsigned Inserted = 4;
constexpr unsigned Modified = 8; // the new version of a changed row
constexpr unsigned Unused = 32;
constexpr unsigned DetailUpdated = 64;
constexpr unsigned HiddenMask = Original | Deleted | Unused;
inline bool isVisible(unsigned state) { return (state & HiddenMask) == 0; }
} // namespace RowState

namespace ChangeAction {
constexpr unsigned Delete = 2;
constexpr unsigned Insert = 4;
constexpr unsigned Modify = 8;
constexpr unsigned Detail = 64;
} // namespace ChangeAction

struct ChangeLogEntry {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t record = 0;        // 0-based record index
    std::uint32_t previous = kNone;  // 0-based index of the previous version, or none
    std::uint32_t action = 0;
};

// Everything a data packet file holds, in memory. All text is UTF-8 in one buffer, so a table of
// 100,000 rows costs a few bytes per cell beyond its text.
class TableData final {
public:
    QList<FieldDef> fields;
    // PARAMS attributes other than CHANGE_LOG, kept for rewriting.
    QList<QPair<QByteArray, QByteArray>> params;
    std::vector<ChangeLogEntry> changeLog;

    int fieldCount() const { return static_cast<int>(fields.size()); }
    std::size_t recordCount() const { return m_states.size(); }

    unsigned rowState(std::uint32_t record) const { return m_states[record]; }
    void setRowState(std::uint32_t record, unsigned state) { m_states[record] = static_cast<std::uint8_t>(state); }

    const Cell *recordCells(std::uint32_t record) const { return m_cells.data() + std::size_t(record) * m_width; }
    Cell *recordCells(std::uint32_t record) { return m_cells.data() + std::size_t(record) * m_width; }

    std::string_view text(const Cell &cell) const
    {
        return cell.isNull() ? std::string_view() : std::string_view(m_text.data() + cell.offset, cell.length);
    }

    // Stores text in the buffer and returns the cell that refers to it.
    Cell storeText(std::string_view value);
    // Appends a record (copying the cells, or all NULL when cells is null) and returns its index.
    std::uint32_t appendRecord(const Cell *cells, unsigned state);

    // Place of a record in file order: records sort by (slot, rank, index). A loaded record's slot is
    // its position in the file, a changed row's new version takes the place of its original, and a row
    // inserted at the cursor gets a rank just before the row it was inserted at.
    struct Place {
        std::uint32_t slot = 0;
        double rank = 0;
    };
    const Place &place(std::uint32_t record) const { return m_places[record]; }
    void setPlace(std::uint32_t record, Place place) { m_places[record] = place; }
    bool placedBefore(std::uint32_t a, std::uint32_t b) const;
    // All records (hidden ones too) in file order: the order they are written in.
    std::vector<std::uint32_t> fileOrder() const;

    void resetFields(const QList<FieldDef> &newFields);
    void reserve(std::size_t records, std::size_t textBytes);
    void shrinkToFit();
    std::size_t textBytes() const { return m_text.size(); }

private:
    std::size_t m_width = 0;
    std::string m_text;
    std::vector<Cell> m_cells;
    std::vector<std::uint8_t> m_states;
    std::vector<Place> m_places;
};

} // namespace kalvor
