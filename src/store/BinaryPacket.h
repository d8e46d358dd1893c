#pragma once

#include <QByteArray>

#include <string_view>

namespace kalvor {

// The binary form of a data packet (any file name not ending in ".xml"): a magic line followed by the
// zlib-compressed UTF-8 text form. Compact, and it reads back exactly what was written.
bool isBinaryPacket(std::string_view head);
QByteArray encodeBinaryPacket(const QByteArray &utf8Xml);
// Throws KalvorError when the data are damaged.
QByteArray decodeBinaryPacket(std::string_view bytes);

} // namespace kalvor
