#include "store/TableData.h"

#include "store/KalvorError.h"

#include <algorithm>
#include <limits>

namespace kalvor {

Cell CellRow::sparseCell(std::size_t field) const
{
    const SparseCell *end = m_sparse + m_count;
    const SparseCell *it = std::lower_bound(m_sparse, end, field,
                                            [](const SparseCell &c, std::size_t f) { return c.field < f; });
    return it != end && it->field == field ? it->cell : Cell{};
}

Cell TableData::storeText(std::string_view value)
{
    if (m_text.size() + value.size() >= std::numeric_limits<std::uint32_t>::max())
        throw KalvorError(QStringLiteral("Таблица слишком велика: текст превышает 4 ГБ"));
    Cell cell;
    cell.offset = static_cast<std::uint32_t>(m_text.size());
    cell.length = static_cast<std::uint32_t>(value.size());
    m_text.append(value);
    return cell;
}

std::uint32_t TableData::nextStart(std::size_t size, std::size_t adding)
{
    if (size + adding >= RecordCells::kDense)
        throw KalvorError(QStringLiteral("Таблица слишком велика: более 4 миллиардов ячеек"));
    return static_cast<std::uint32_t>(size);
}

std::uint32_t TableData::appendRecord(const Cell *cells, unsigned state)
{
    if (!cells)
        return appendRecord(nullptr, nullptr, 0, state);
    std::size_t present = 0;
    for (std::size_t f = 0; f < m_width; ++f)
        present += cells[f].isNull() ? 0 : 1;
    if (present * sizeof(SparseCell) < m_width * sizeof(Cell)) {
        // Kept between calls: passes that copy a whole table append row after row.
        static thread_local std::vector<std::uint32_t> fields;
        fields.clear();
        for (std::size_t f = 0; f < m_width; ++f)
            if (!cells[f].isNull())
                fields.push_back(static_cast<std::uint32_t>(f));
        return appendRecord(cells, fields.data(), fields.size(), state);
    }
    const auto record = static_cast<std::uint32_t>(m_states.size());
    m_records.push_back({nextStart(m_cells.size(), m_width), RecordCells::kDense});
    m_cells.insert(m_cells.end(), cells, cells + m_width);
    m_states.push_back(static_cast<std::uint8_t>(state));
    if (!m_places.empty())
        m_places.push_back(Place{record, 0});
    return record;
}

std::uint32_t TableData::appendRecord(const Cell *cells, const std::uint32_t *present, std::size_t presentCount,
                                      unsigned state)
{
    const auto record = static_cast<std::uint32_t>(m_states.size());
    // A row with most columns present is kept whole: direct access costs less than the sparse form saves.
    if (presentCount * sizeof(SparseCell) >= m_width * sizeof(Cell)) {
        m_records.push_back({nextStart(m_cells.size(), m_width), RecordCells::kDense});
        const std::size_t at = m_cells.size();
        m_cells.resize(at + m_width);
        for (std::size_t i = 0; i < presentCount; ++i)
            m_cells[at + present[i]] = cells[present[i]];
    } else {
        m_records.push_back({nextStart(m_sparse.size(), presentCount), static_cast<std::uint32_t>(presentCount)});
        for (std::size_t i = 0; i < presentCount; ++i)
            m_sparse.push_back({present[i], cells[present[i]]});
    }
    m_states.push_back(static_cast<std::uint8_t>(state));
    if (!m_places.empty())
        m_places.push_back(Place{record, 0});
    return record;
}

void TableData::setPlace(std::uint32_t record, Place place)
{
    if (m_places.empty()) {
        m_places.resize(recordCount());
        for (std::uint32_t r = 0; r < m_places.size(); ++r)
            m_places[r] = Place{r, 0};
    }
    m_places[record] = place;
}

void TableData::resetFields(const QList<FieldDef> &newFields)
{
    fields = newFields;
    m_width = static_cast<std::size_t>(fields.size());
    m_text.clear();
    m_cells.clear();
    m_sparse.clear();
    m_records.clear();
    m_states.clear();
    m_places.clear();
    changeLog.clear();
}

void TableData::reserve(std::size_t records, std::size_t textBytes, std::size_t cells)
{
    m_records.reserve(records);
    m_states.reserve(records);
    m_text.reserve(textBytes);
    // Rows of a wide table with few cells are sparse; most tables are dense.
    if (cells * sizeof(SparseCell) < records * m_width * sizeof(Cell))
        m_sparse.reserve(cells);
    else
        m_cells.reserve(records * m_width);
}

void TableData::shrinkToFit()
{
    m_cells.shrink_to_fit();
    m_sparse.shrink_to_fit();
    m_records.shrink_to_fit();
    m_states.shrink_to_fit();
    m_places.shrink_to_fit();
    m_text.shrink_to_fit();
}

std::size_t TableData::storedBytes() const
{
    return m_text.size() + m_cells.size() * sizeof(Cell) + m_sparse.size() * sizeof(SparseCell)
           + m_records.size() * sizeof(RecordCells) + m_states.size() + m_places.size() * sizeof(Place);
}

bool TableData::placedBefore(std::uint32_t a, std::uint32_t b) const
{
    if (m_places.empty())
        return a < b;
    const Place &pa = m_places[a];
    const Place &pb = m_places[b];
    if (pa.slot != pb.slot)
        return pa.slot < pb.slot;
    if (pa.rank != pb.rank)
        return pa.rank < pb.rank;
    return a < b;
}

std::vector<std::uint32_t> TableData::fileOrder() const
{
    std::vector<std::uint32_t> result(recordCount());
    bool sorted = true;
    for (std::uint32_t i = 0; i < result.size(); ++i) {
        result[i] = i;
        if (i > 0 && !placedBefore(i - 1, i))
            sorted = false;
    }
    if (!sorted)
        std::sort(result.begin(), result.end(), [this](std::uint32_t a, std::uint32_t b) { return placedBefore(a, b); });
    return result;
}

} // namespace kalvor
