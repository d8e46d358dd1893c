#include "store/PacketInput.h"

#include "store/KalvorError.h"

#include <algorithm>
#include <cstring>

namespace kalvor {

std::size_t DeviceInput::read(char *to, std::size_t size)
{
    const qint64 got = m_device.read(to, static_cast<qint64>(size));
    if (got < 0)
        throw KalvorError(QStringLiteral("ошибка чтения: %1").arg(m_device.errorString()));
    return static_cast<std::size_t>(got);
}

std::uint64_t DeviceInput::sizeHint() const
{
    return m_device.isSequential() ? 0 : static_cast<std::uint64_t>(std::max<qint64>(m_device.size(), 0));
}

bool PacketBuffer::readMore(std::size_t atLeast)
{
    if (m_eof)
        return false;
    const std::size_t kept = size();
    // A small input (a fuzz case, a reference book) does not need a whole block.
    if (const std::uint64_t total = sizeHint(); total > 0 && total - std::min(total, m_consumed + m_end) < atLeast)
        atLeast = std::max<std::size_t>(static_cast<std::size_t>(total - std::min(total, m_consumed + m_end)) + 1, 64);
    if (m_capacity - m_end < atLeast) {
        if (kept + atLeast <= m_capacity && m_begin > 0) {
            std::memmove(m_data.get(), data(), kept);
        } else {
            const std::size_t capacity = std::max(kept + atLeast, m_capacity * 2);
            std::unique_ptr<char[]> grown(new char[capacity]);
            if (kept > 0)
                std::memcpy(grown.get(), data(), kept);
            m_data = std::move(grown);
            m_capacity = capacity;
        }
        m_consumed += m_begin;
        m_begin = 0;
        m_end = kept;
    }
    // One read: a file fills the room, a pipe or a test's trickle may bring less, and the caller comes back.
    const std::size_t got = m_input.read(m_data.get() + m_end, m_capacity - m_end);
    if (got == 0)
        m_eof = true;
    m_end += got;
    return got > 0;
}

bool PacketBuffer::fill(std::size_t count)
{
    while (size() < count && readMore(std::max(kBlockSize, count - size()))) {
    }
    return size() >= count;
}

void PacketBuffer::discard(std::size_t count)
{
    m_begin += std::min(count, size());
    if (m_begin == m_end) {
        m_consumed += m_begin;
        m_begin = m_end = 0;
    }
}

} // namespace kalvor
