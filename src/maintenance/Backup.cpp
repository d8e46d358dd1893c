#include "maintenance/Backup.h"

#include "store/FileCopy.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace kalvor::maintenance {

namespace {

QString stampedName(const QString &baseName, const QDateTime &at, int attempt)
{
    QString name = baseName + u'_' + at.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (attempt > 0)
        name += u'-' + QString::number(attempt);
    return name + QStringLiteral(".xml");
}

} // namespace

QString backupFolder(const QString &curDir)
{
    return QDir(curDir).filePath(QStringLiteral("backup"));
}

QStringList backupsOf(const QString &curDir, const QString &fileName)
{
    const QString baseName = QFileInfo(fileName).completeBaseName();
    QDir dir(backupFolder(curDir));
    static const QRegularExpression stamp(QStringLiteral("^_\\d{8}-\\d{6}-\\d{3}(-\\d+)?\\.xml$"));
    QStringList names;
    for (const QString &name : dir.entryList({baseName + QStringLiteral("_*.xml")}, QDir::Files))
        if (stamp.match(name.mid(baseName.size())).hasMatch())
            names.append(name);
    // The time stamp sorts by name; without the extension the extra "-N" of a second backup in the same
    // millisecond sorts after the first.
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return QStringView(a).chopped(4) < QStringView(b).chopped(4);
    });
    QStringList paths;
    for (const QString &name : names)
        paths.append(dir.filePath(name));
    return paths;
}

QString keepBackup(const QString &curDir, const QString &fileName, const QDateTime &at)
{
    if (!QFileInfo::exists(fileName))
        throw KalvorError(QStringLiteral("Не удалось открыть файл %1: файл не найден").arg(fileName));
    const QString folder = backupFolder(curDir);
    if (!QDir().mkpath(folder))
        throw KalvorError(QStringLiteral("Не удалось создать папку %1").arg(folder));
    const QString baseName = QFileInfo(fileName).completeBaseName();
    QString target;
    for (int attempt = 0; target.isEmpty() || QFileInfo::exists(target); ++attempt)
        target = QDir(folder).filePath(stampedName(baseName, at, attempt));
    try {
        copyFileAtomically(fileName, target);
    } catch (const KalvorError &e) {
        throw KalvorError(
            QStringLiteral("Не удалось сохранить резервную копию файла %1. %2").arg(fileName, e.message()));
    }

    QStringList all = backupsOf(curDir, fileName);
    while (all.size() > kKeptBackups)
        QFile::remove(all.takeFirst());
    return target;
}

} // namespace kalvor::maintenance
