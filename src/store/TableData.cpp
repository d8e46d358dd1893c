#include "store/TableData.h"

#include "store/KalvorError.h"

#include <algorithm>
#include <limits>

namespace kalvor {

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

std::uint32_t TableData::appendRecord(const Cell *cells, unsigned state)
{
    const auto record = static_cast<std::uint32_t>(m_states.size());
    if (cells)
        m_cells.insert(m_cells.end(), cells, cells + m_width);
    else
        m_cells.resize(m_cells.size() + m_width);
    m_states.push_back(static_cast<std::uint8_t>(state));
    m_places.push_back(Place{record, 0});
    return record;
}

void TableData::resetFields(const QList<FieldDef> &newFields)
{
    fields = newFields;
    m_width = static_cast<std::size_t>(fields.size());
    m_text.clear();
    m_cells.clear();
    m_states.clear();
    m_places.clear();
    changeLog.clear();
}

void TableData::reserve(std::size_t records, std::size_t textBytes)
{
    m_cells.reserve(records * m_width);
    m_states.reserve(records);
    m_places.reserve(records);
    m_text.reserve(textBytes);
}

void TableData::shrinkToFit()
{
    m_cells.shrink_to_fit();
    m_states.shrink_to_fit();
    m_places.shrink_to_fit();
    m_text.shrink_to_fit();
}

bool TableData::placedBefore(std::uint32_t a, std::uint32_t b) const
{
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
