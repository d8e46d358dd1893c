#include "store/FileAccess.h"

#include "store/KalvorError.h"
#include "store/SystemError.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor {
namespace {

QString shown(const QString &fileName)
{
    return QDir::toNativeSeparators(fileName);
}

KalvorError notRegular(const QString &fileName)
{
    return KalvorError(
        QStringLiteral("%1 не является обычным файлом (это папка, устройство или канал)").arg(shown(fileName)));
}

} // namespace

void openRegularFile(QFile &file, const QString &fileName)
{
    // Opened without blocking, so a FIFO without a writer answers at once; the type is then taken from
    // the opened file itself, which nothing can swap in between.
    const QByteArray path = QFile::encodeName(fileName);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT)
            throw KalvorError(QStringLiteral("Файл %1 не найден").arg(shown(fileName)));
        throw KalvorError(QStringLiteral("Файл %1 не открывается: %2").arg(shown(fileName), systemErrorText(error)));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw notRegular(fileName);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    file.setFileName(fileName);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw KalvorError(
            QStringLiteral("Файл %1 не открывается: %2").arg(shown(fileName), systemReason(file.errorString())));
    }
}

void requireSaveTarget(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw notRegular(fileName);
}

namespace {
constexpr std::size_t kBufferSize = 1u << 16;
}

AtomicFile::AtomicFile(const QString &fileName) : m_fileName(fileName), m_file(fileName)
{
    requireSaveTarget(fileName);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail(systemReason(m_file.errorString()));
    m_buffer.reserve(kBufferSize);
}

void AtomicFile::write(std::string_view bytes)
{
    if (m_buffer.size() + bytes.size() > kBufferSize)
        flush();
    if (bytes.size() >= kBufferSize)
        writeOut(bytes); // a large block goes out at once
    else
        m_buffer += bytes;
}

void AtomicFile::flush()
{
    writeOut(m_buffer);
    m_buffer.clear();
}

void AtomicFile::writeOut(std::string_view bytes)
{
    const int fd = m_file.handle();
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            fail(systemErrorText(errno));
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void AtomicFile::commit()
{
    flush();
    // A full disk may only show when the data reach it.
    if (::fsync(m_file.handle()) != 0 && errno != EINVAL && errno != EROFS)
        fail(systemErrorText(errno));
    if (!m_file.commit())
        fail(systemReason(m_file.errorString()));
}

void AtomicFile::cancel()
{
    m_buffer.clear();
    if (m_file.isOpen())
        m_file.cancelWriting();
}

void AtomicFile::fail(const QString &reason)
{
    cancel();
    throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(shown(m_fileName), reason));
}

void saveFileAtomically(const QString &fileName, QByteArrayView bytes)
{
    AtomicFile file(fileName);
    file.write(bytes);
    file.commit();
}

} // namespace kalvor
