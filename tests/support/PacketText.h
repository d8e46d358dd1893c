#pragma once

#include "store/TableData.h"

#include <QByteArray>
#include <QString>

namespace kalvor::test {

// The dump of a packet's visible rows as one string (header line first), for comparing contents.
std::string dumpOf(const TableData &data);
std::string dumpOfFile(const QString &fileName);

// Windows-1251 bytes of UTF-8 text, for writing 8-bit packets in tests.
QByteArray ansi(const QByteArray &utf8);

// A small hand-written packet with the given FIELD lines and ROW lines (CR LF line ends).
QByteArray handWrittenPacket(const QByteArray &fieldLines, const QByteArray &rowLines);

} // namespace kalvor::test
