#include "store/BinaryPacket.h"

#include "store/KalvorError.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace kalvor {
namespace {

constexpr std::string_view kMagic = "KALVOR-DATAPACKET-1\n";
static_assert(kMagic.size() == kBinaryMagicSize);
constexpr std::size_t kHeaderSize = kMagic.size() + 4;
// A packet is never larger than this uncompressed.
constexpr std::uint64_t kMaxExpanded = 1u << 30;
// A small packet compresses poorly, so the ratio is allowed this much room.
constexpr std::uint64_t kExpansionSlack = 64u << 10;

KalvorError damaged() { return KalvorError(QStringLiteral("двоичный пакет данных поврежден")); }

KalvorError tooLarge(std::uint64_t expanded, std::uint64_t compressed)
{
    return KalvorError(QStringLiteral("двоичный пакет данных в %1 байт разворачивается в %2 байт, больше чем в %3 раз: "
                                      "файл поврежден или подделан")
                           .arg(compressed)
                           .arg(expanded)
                           .arg(kMaxBinaryExpansion));
}

bool expandsTooMuch(std::uint64_t expanded, std::uint64_t compressed)
{
    return expanded > kMaxBinaryExpansion * compressed + kExpansionSlack;
}

class InflateInput final : public PacketInput {
public:
    // Without the file's size the expansion is watched as the data arrive.
    InflateInput(PacketBuffer &raw, std::uint64_t expanded, bool watchExpansion)
        : m_raw(raw), m_expanded(expanded), m_watchExpansion(watchExpansion)
    {
        if (inflateInit(&m_stream) != Z_OK)
            throw KalvorError(QStringLiteral("недостаточно памяти для чтения"));
    }
    ~InflateInput() override { inflateEnd(&m_stream); }
    InflateInput(const InflateInput &) = delete;
    InflateInput &operator=(const InflateInput &) = delete;

    std::size_t read(char *to, std::size_t size) override
    {
        if (m_finished || size == 0)
            return 0;
        const auto room = static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));
        m_stream.next_out = reinterpret_cast<Bytef *>(to);
        m_stream.avail_out = room;
        while (m_stream.avail_out == room) {
            if (m_stream.avail_in == 0) {
                m_raw.discard(m_fed);
                m_compressed += m_fed;
                if (m_raw.size() == 0 && !m_raw.readMore())
                    throw damaged(); // the stream stops before its end
                m_fed = std::min<std::size_t>(m_raw.size(), std::numeric_limits<uInt>::max());
                m_stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(m_raw.data()));
                m_stream.avail_in = static_cast<uInt>(m_fed);
            }
            const int rc = inflate(&m_stream, Z_NO_FLUSH);
            if (rc == Z_STREAM_END) {
                m_finished = true;
                break;
            }
            if (rc != Z_OK)
                throw damaged();
        }
        const std::size_t produced = room - m_stream.avail_out;
        m_produced += produced;
        if (m_produced > m_expanded || (m_finished && m_produced != m_expanded))
            throw damaged();
        if (const std::uint64_t compressedSoFar = m_compressed + (m_fed - m_stream.avail_in);
            m_watchExpansion && expandsTooMuch(m_produced, compressedSoFar))
            throw tooLarge(m_produced, compressedSoFar);
        return produced;
    }

    std::uint64_t sizeHint() const override { return m_expanded; }

private:
    PacketBuffer &m_raw;
    z_stream m_stream{};
    std::uint64_t m_expanded;
    std::uint64_t m_produced = 0;
    std::uint64_t m_compressed = 0; // input bytes handed over before the current window
    std::size_t m_fed = 0;          // bytes of the window handed to zlib
    bool m_watchExpansion;
    bool m_finished = false;
};

} // namespace

bool isBinaryPacket(std::string_view head) { return head.substr(0, kMagic.size()) == kMagic; }

QByteArray encodeBinaryPacket(const QByteArray &utf8Xml)
{
    QByteArray out(kMagic.data(), static_cast<qsizetype>(kMagic.size()));
    out += qCompress(utf8Xml, 6);
    return out;
}

std::unique_ptr<PacketInput> openBinaryPacket(PacketBuffer &raw)
{
    if (!raw.fill(kHeaderSize))
        throw damaged();
    const auto b = [&](std::size_t i) { return static_cast<std::uint64_t>(static_cast<unsigned char>(raw.data()[kMagic.size() + i])); };
    const std::uint64_t expanded = (b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3);
    if (expanded == 0 || expanded > kMaxExpanded)
        throw damaged();
    // Checked before anything is inflated: a small file cannot claim a huge table.
    const std::uint64_t total = raw.sizeHint();
    if (total > 0) {
        const std::uint64_t compressed = total - std::min<std::uint64_t>(total, kHeaderSize);
        if (expandsTooMuch(expanded, compressed))
            throw tooLarge(expanded, compressed);
    }
    raw.discard(kHeaderSize);
    return std::make_unique<InflateInput>(raw, expanded, total == 0);
}

} // namespace kalvor
