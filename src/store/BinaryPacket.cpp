#include "store/BinaryPacket.h"

#include "store/KalvorError.h"

namespace kalvor {
namespace {
constexpr std::string_view kMagic = "KALVOR-DATAPACKET-1\n";
// A packet is never larger than this uncompressed; bigger claims come from damaged data.
constexpr quint32 kMaxExpanded = 1u << 30;
} // namespace

bool isBinaryPacket(std::string_view head) { return head.substr(0, kMagic.size()) == kMagic; }

QByteArray encodeBinaryPacket(const QByteArray &utf8Xml)
{
    QByteArray out(kMagic.data(), static_cast<qsizetype>(kMagic.size()));
    out += qCompress(utf8Xml, 6);
    return out;
}

QByteArray decodeBinaryPacket(std::string_view bytes)
{
    const std::string_view body = bytes.substr(std::min(bytes.size(), kMagic.size()));
    if (body.size() < 5)
        throw KalvorError(QStringLiteral("двоичный пакет данных поврежден"));
    const auto b = [&](std::size_t i) { return static_cast<quint32>(static_cast<unsigned char>(body[i])); };
    const quint32 expanded = (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
    if (expanded > kMaxExpanded || expanded / 1100 > body.size())
        throw KalvorError(QStringLiteral("двоичный пакет данных поврежден"));
    QByteArray xml = qUncompress(reinterpret_cast<const uchar *>(body.data()), static_cast<qsizetype>(body.size()));
    if (xml.isEmpty() || static_cast<quint32>(xml.size()) != expanded)
        throw KalvorError(QStringLiteral("двоичный пакет данных поврежден"));
    return xml;
}

} // namespace kalvor
