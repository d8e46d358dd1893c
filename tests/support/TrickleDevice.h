#pragma once

#include <QByteArrayView>
#include <QIODevice>

#include <algorithm>

namespace kalvor::test {

// A pipe-like device that hands out at most `step` bytes per read, so that a reader meets the end of
// what it has at every place of a file in turn. Header-only: the fuzz targets use it too.
class TrickleDevice final : public QIODevice {
public:
    TrickleDevice(QByteArrayView bytes, qint64 step) : m_bytes(bytes), m_step(step) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *to, qint64 max) override
    {
        const qint64 n = std::min({max, m_step, m_bytes.size() - m_at});
        std::copy_n(m_bytes.data() + m_at, n, to);
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArrayView m_bytes;
    qint64 m_step;
    qint64 m_at = 0;
};

} // namespace kalvor::test
