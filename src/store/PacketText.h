#pragma once

#include "store/TableData.h"

#include <QByteArray>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kalvor {

// Thrown by PacketText in the 8-bit form when a character has no Windows-1251 byte.
class NotAnsi final {};

// Builds the text of a data packet: escapes values and, in the 8-bit form, re-encodes them.
class PacketText final {
public:
    explicit PacketText(bool ansi) : m_ansi(ansi) {}

    std::string out;

    void raw(std::string_view s) { out.append(s); }
    // Escapes " & < > ' and control characters as entities; throws NotAnsi as above.
    void value(std::string_view utf8);
    void value(const QString &s);
    void value(const QByteArray &s) { value(std::string_view(s.constData(), static_cast<std::size_t>(s.size()))); }
    void attribute(std::string_view name, std::string_view utf8Value);
    void attribute(const QByteArray &name, const QByteArray &v);

private:
    bool m_ansi;
};

inline constexpr std::string_view kPacketEol = "\r\n";

// The prolog line of either form.
std::string_view packetProlog(bool ansi);
// From the prolog to the end of METADATA; `position` maps record indices to written positions.
void writePacketHeader(PacketText &t, const TableData &data, bool ansi, const std::vector<std::uint32_t> &position);

} // namespace kalvor
