#pragma once

#include <QIODevice>

#include <cstdint>
#include <memory>
#include <string_view>

namespace kalvor {

// Where the bytes of a data packet come from: a file, or the inflated body of the binary form.
class PacketInput {
public:
    virtual ~PacketInput() = default;
    // Reads up to `size` bytes; 0 only at the end. Throws KalvorError when reading fails.
    virtual std::size_t read(char *to, std::size_t size) = 0;
    // How many bytes the whole input holds, or 0 when that is not known in advance.
    virtual std::uint64_t sizeHint() const = 0;
};

class DeviceInput final : public PacketInput {
public:
    explicit DeviceInput(QIODevice &device) : m_device(device) {}
    std::size_t read(char *to, std::size_t size) override;
    std::uint64_t sizeHint() const override;

private:
    QIODevice &m_device;
};

// A rolling window over an input: bytes are added at the end in blocks and dropped from the front once
// parsed, so a large file never sits in memory whole.
class PacketBuffer final {
public:
    static constexpr std::size_t kBlockSize = 256u << 10;

    explicit PacketBuffer(PacketInput &input) : m_input(input) {}

    const char *data() const { return m_data.get() + m_begin; }
    std::size_t size() const { return m_end - m_begin; }
    std::string_view view() const { return {data(), size()}; }

    // Makes room for at least `atLeast` more bytes and reads what the input gives at once; false at its end.
    bool readMore(std::size_t atLeast = kBlockSize);
    // Reads until the window holds `count` bytes; false when the input ends first.
    bool fill(std::size_t count);
    // Drops the first `count` bytes of the window.
    void discard(std::size_t count);
    // Bytes of the input that came before the window.
    std::uint64_t consumed() const { return m_consumed + m_begin; }
    bool atEnd() const { return m_eof; }
    std::uint64_t sizeHint() const { return m_input.sizeHint(); }

private:
    PacketInput &m_input;
    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    std::uint64_t m_consumed = 0; // bytes of the input before m_data[0]
    bool m_eof = false;
};

} // namespace kalvor
