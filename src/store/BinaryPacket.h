#pragma once

#include "store/PacketInput.h"

#include <QByteArray>

#include <memory>
#include <string_view>

namespace kalvor {

// The binary form of a data packet (any file name not ending in ".xml"): a magic line, the size of the
// text form as four bytes (big-endian), then that text form (UTF-8) compressed with zlib.
inline constexpr std::size_t kBinaryMagicSize = 20;
bool isBinaryPacket(std::string_view head);
QByteArray encodeBinaryPacket(const QByteArray &utf8Xml);

// Our own packets expand about elevenfold; a bigger claim is damage or a trap.
inline constexpr std::uint64_t kMaxBinaryExpansion = 16;

// The text form inside a binary packet whose first bytes are in `raw`'s window, inflated as it is read.
// The size header is checked against the size of the file before anything is inflated, and the
// expansion is watched while inflating; throws KalvorError when the packet is damaged or too large.
std::unique_ptr<PacketInput> openBinaryPacket(PacketBuffer &raw);

} // namespace kalvor
