#pragma once

#include "store/TableData.h"

#include <cstdio>
#include <string>

namespace kalvor {

// Visible records in the order the file keeps them (changed rows in the place of their originals).
std::vector<std::uint32_t> visibleRecordsInFileOrder(const TableData &data);
std::size_t visibleRecordCount(const TableData &data);

// The dump format: column names, then one line per visible row; cells as stored, TAB-separated, NULL
// empty, each escaped by appendEscaped (TAB, CR, LF and backslash as \t, \r, \n, \\, other control
// characters as \xHH), so a value never breaks its line.
void appendDumpLine(std::string &out, const TableData &data, std::uint32_t record);
void appendDumpHeader(std::string &out, const TableData &data);
// Writes the whole dump to a stream in blocks; false when the stream failed.
bool writeDump(const TableData &data, std::FILE *stream);

} // namespace kalvor
