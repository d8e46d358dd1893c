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

// A present cell of a record kept sparsely, with its column.
struct SparseCell {
    std::uint32_t field = 0;
    Cell cell;
};

// The cells of one record by column. A record keeps one cell per column when most are present and only
// its present cells (in column order) otherwise, so the empty rows of a wide table cost next to nothing.
class CellRow final {
public:
    CellRow() = default; // every column NULL
    explicit CellRow(const Cell *dense) : m_dense(dense) {}
    CellRow(const SparseCell *sparse, std::uint32_t count) : m_sparse(sparse), m_count(count) {}

    Cell operator[](std::size_t field) const { return m_dense ? m_dense[field] : sparseCell(field); }

    // Calls visit(field, cell) for each present cell in column order; `width` is the table's column count.
    template <typename Visit>
    void forEachPresent(std::size_t width, Visit &&visit) const
    {
        if (m_dense) {
            for (std::size_t f = 0; f < width; ++f)
                if (!m_dense[f].isNull())
                    visit(f, m_dense[f]);
            return;
        }
        for (std::uint32_t i = 0; i < m_count; ++i)
            visit(std::size_t(m_sparse[i].field), m_sparse[i].cell);
    }

private:
    Cell sparseCell(std::size_t field) const;

    const Cell *m_dense = nullptr;
    const SparseCell *m_sparse = nullptr;
    std::uint32_t m_count = 0;
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
// 100,000 rows costs a few bytes per present cell beyond its text.
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

    CellRow recordCells(std::uint32_t record) const
    {
        const RecordCells ref = m_records[record];
        return ref.count == RecordCells::kDense ? CellRow(m_cells.data() + ref.start)
                                                : CellRow(m_sparse.data() + ref.start, ref.count);
    }

    std::string_view text(const Cell &cell) const
    {
        return cell.isNull() ? std::string_view() : std::string_view(m_text.data() + cell.offset, cell.length);
    }

    // Stores text in the buffer and returns the cell that refers to it.
    Cell storeText(std::string_view value);
    // Appends a record (copying the cells, or all NULL when cells is null) and returns its index.
    std::uint32_t appendRecord(const Cell *cells, unsigned state);
    // The same for a row of which only the columns listed in `present` (ascending) may be non-NULL.
    std::uint32_t appendRecord(const Cell *cells, const std::uint32_t *present, std::size_t presentCount, unsigned state);

    // Place of a record in file order: records sort by (slot, rank, index). A loaded record's slot is
    // its position in the file, a changed row's new version takes the place of its original, and a row
    // inserted at the cursor gets a rank just before the row it was inserted at.
    struct Place {
        std::uint32_t slot = 0;
        double rank = 0;
    };
    Place place(std::uint32_t record) const { return m_places.empty() ? Place{record, 0} : m_places[record]; }
    void setPlace(std::uint32_t record, Place place);
    bool placedBefore(std::uint32_t a, std::uint32_t b) const;
    // All records (hidden ones too) in file order: the order they are written in.
    std::vector<std::uint32_t> fileOrder() const;

    void resetFields(const QList<FieldDef> &newFields);
    // Room for records whose present cells are about `cells` in all.
    void reserve(std::size_t records, std::size_t textBytes, std::size_t cells);
    void reserve(std::size_t records, std::size_t textBytes) { reserve(records, textBytes, records * m_width); }
    void shrinkToFit();
    std::size_t textBytes() const { return m_text.size(); }
    // Bytes the records take (text, cells, bookkeeping): follows the cells present, not rows x columns.
    std::size_t storedBytes() const;

private:
    struct RecordCells {
        static constexpr std::uint32_t kDense = 0xFFFFFFFFu;
        std::uint32_t start = 0;      // index into m_cells (dense) or m_sparse
        std::uint32_t count = kDense; // number of sparse cells, or kDense
    };
    static std::uint32_t nextStart(std::size_t size, std::size_t adding);

    std::size_t m_width = 0;
    std::string m_text;
    std::vector<Cell> m_cells;
    std::vector<SparseCell> m_sparse;
    std::vector<RecordCells> m_records;
    std::vector<std::uint8_t> m_states;
    std::vector<Place> m_places; // empty while every record stands at its own index
};

} // namespace kalvor
