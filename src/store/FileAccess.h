#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <string_view>

namespace kalvor {

// Opens `fileName` for reading, but only a regular file (a symbolic link to one will do): a FIFO would
// block the reader for good and a device or folder is no table, so they are refused without reading a
// byte. Throws KalvorError naming the file: missing, not a regular file, or the system's reason.
void openRegularFile(QFile &file, const QString &fileName);

// Refuses to save over anything but a regular file: a save replaces its target, and a device, FIFO or
// folder must never become a file of ours. A missing target is fine. Throws KalvorError naming the file.
void requireSaveTarget(const QString &fileName);

// The one way files are written: into a temporary file beside the target that replaces it only on
// commit(), so a crash or a full disk leaves the old file whole. Every failure throws KalvorError naming
// the file with the system's reason; a file never committed is removed when the object goes.
class AtomicFile final {
public:
    explicit AtomicFile(const QString &fileName);
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    void write(std::string_view bytes);
    void write(QByteArrayView bytes) { write(std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size()))); }
    void commit();
    // Drops what was written; the target stays as it was.
    void cancel();

    const QString &fileName() const { return m_fileName; }

private:
    void flush();
    void writeOut(std::string_view bytes);
    [[noreturn]] void fail(const QString &reason);

    QString m_fileName;
    // QSaveFile places and replaces the file; the bytes go to its descriptor directly, because Qt
    // forgets the system's reason of a failed write ("Unknown error").
    QSaveFile m_file;
    std::string m_buffer;
};

// The whole of `bytes` saved atomically as `fileName`.
void saveFileAtomically(const QString &fileName, QByteArrayView bytes);

} // namespace kalvor
