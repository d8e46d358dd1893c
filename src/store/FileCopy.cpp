#include "store/FileCopy.h"

#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/SystemError.h"

#include <QDir>
#include <QFile>

namespace kalvor {

void copyFileAtomically(const QString &source, const QString &destination)
{
    QFile in;
    openRegularFile(in, source);
    AtomicFile out(destination);
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = in.read(buffer, sizeof buffer);
        if (got < 0)
            throw KalvorError(QStringLiteral("Не удалось прочитать файл %1: %2")
                                  .arg(QDir::toNativeSeparators(source), systemReason(in.errorString())));
        if (got == 0)
            break;
        out.write(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    out.commit();
}

bool CopyFileReplacing(const QString &source, const QString &destination)
{
    try {
        copyFileAtomically(source, destination);
        return true;
    } catch (const KalvorError &) {
        return false;
    }
}

} // namespace kalvor
