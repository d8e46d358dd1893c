#include "store/TableDump.h"

#include "store/EscapedText.h"

namespace kalvor {

std::vector<std::uint32_t> visibleRecordsInFileOrder(const TableData &data)
{
    std::vector<std::uint32_t> result;
    for (const std::uint32_t record : data.fileOrder())
        if (RowState::isVisible(data.rowState(record)))
            result.push_back(record);
    return result;
}

std::size_t visibleRecordCount(const TableData &data)
{
    std::size_t count = 0;
    for (std::uint32_t r = 0; r < data.recordCount(); ++r)
        count += RowState::isVisible(data.rowState(r)) ? 1 : 0;
    return count;
}

void appendDumpHeader(std::string &out, const TableData &data)
{
    for (int f = 0; f < data.fieldCount(); ++f) {
        if (f > 0)
            out.push_back('\t');
        const QByteArray name = data.fields[f].name.toUtf8();
        appendEscaped(out, std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
    }
    out.push_back('\n');
}

void appendDumpLine(std::string &out, const TableData &data, std::uint32_t record)
{
    const CellRow cells = data.recordCells(record);
    for (int f = 0; f < data.fieldCount(); ++f) {
        if (f > 0)
            out.push_back('\t');
        appendEscaped(out, data.text(cells[f]));
    }
    out.push_back('\n');
}

bool writeDump(const TableData &data, std::FILE *stream)
{
    std::string block;
    block.reserve(1 << 17);
    appendDumpHeader(block, data);
    for (const std::uint32_t record : visibleRecordsInFileOrder(data)) {
        appendDumpLine(block, data, record);
        if (block.size() >= (1 << 16)) {
            if (std::fwrite(block.data(), 1, block.size(), stream) != block.size())
                return false;
            block.clear();
        }
    }
    if (!block.empty() && std::fwrite(block.data(), 1, block.size(), stream) != block.size())
        return false;
    return std::fflush(stream) == 0;
}

} // namespace kalvor
