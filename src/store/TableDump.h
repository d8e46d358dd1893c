#pragma once

#include "store/TableData.h"

#include <cstdio>
#include <string>

namespace kalvor {

// Visible records in the order the file keeps them (changed rows in the place of their originals).
std::vector<std::uint32_t> visibleRecordsInFileOrder(const TableData &data);
std::size_t visibleRecordCount(const TableData &data);

// The dump format: column names, then one line per visible row; cells as stored, TAB-separated, NULL
// empty, with TAB, CR, LF and backslash inside a value written as \t, \r, \n, \\.
void appendDumpLine(std::string &out, const TableData &data, std::uint32_t record);
void appendDumpHeader(std::string &out, const TableData &data);
// One value in the dump's form: TAB, CR, LF and backslash written as \t, \r, \n, \\.
void appendEscaped(std::string &out, std::string_view value);
// Writes the whole dump to a stream in blocks; false when the stream failed.
bool writeDump(const TableData &data, std::FILE *stream);

} // namespace kalvor
