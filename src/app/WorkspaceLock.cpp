#include "app/WorkspaceLock.h"

#include "store/KalvorError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>

namespace kalvor {
namespace {

// The executable name the lock file records for the desktop program.
const QString kDesktopProcess = QStringLiteral("kalvor");

QString holderName(const QString &process)
{
    if (process == kDesktopProcess)
        return QStringLiteral("программа Kalvor");
    if (process == u"kalvor-cli")
        return QStringLiteral("команда kalvor-cli");
    return process.isEmpty() ? QStringLiteral("другая программа") : process;
}

} // namespace

WorkspaceLock::WorkspaceLock() = default;

WorkspaceLock::~WorkspaceLock() = default;

QString WorkspaceLock::lockFileName(const QString &curDir)
{
    return QDir(curDir).filePath(QStringLiteral("kalvor.lock"));
}

bool WorkspaceLock::isLocked() const
{
    return m_file && m_file->isLocked();
}

void WorkspaceLock::acquire(const QString &curDir, std::chrono::milliseconds patience)
{
    if (!QDir().mkpath(curDir))
        throw KalvorError(QStringLiteral("Не удалось создать папку «%1»").arg(QDir::toNativeSeparators(curDir)));
    const QString fileName = lockFileName(curDir);
    auto file = std::make_unique<QLockFile>(fileName);
    // The desktop program holds the lock for days: only a dead holder makes a lock stale, never its age.
    file->setStaleLockTime(0);

    const QDateTime deadline = QDateTime::currentDateTimeUtc().addMSecs(patience.count());
    qint64 pid = 0;
    QString host;
    QString process;
    for (;;) {
        if (file->tryLock(0)) {
            m_file = std::move(file);
            return;
        }
        if (file->error() != QLockFile::LockFailedError)
            throw KalvorError(QStringLiteral("Не удалось создать файл блокировки %1: нет доступа к рабочей папке")
                                  .arg(QDir::toNativeSeparators(fileName)));
        const bool known = file->getLockInfo(&pid, &host, &process);
        if ((known && process == kDesktopProcess) || QDateTime::currentDateTimeUtc() >= deadline)
            break;
        QThread::msleep(100);
    }
    const QString since = QFileInfo(fileName).lastModified().toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    throw KalvorError(QStringLiteral("Рабочая папка %1 занята: с ней работает %2 (процесс %3 на компьютере %4, "
                                     "с %5). Дождитесь окончания ее работы и повторите.")
                          .arg(QDir::toNativeSeparators(curDir), holderName(process))
                          .arg(pid)
                          .arg(host, since));
}

} // namespace kalvor
