#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kalvor::maintenance {

// The maintenance commands rewrite a declaration without asking, so each keeps the file it replaces in
// the workspace's "backup/" folder first (never in the period folder, whose files are mailed).
constexpr int kKeptBackups = 10; // per declaration file; older ones are removed

// The backup folder of a workspace (curDir ends in "/").
QString backupFolder(const QString &curDir);

// Copies `fileName` to backup/<name>_<yyyyMMdd-HHmmss-zzz>.xml and removes the oldest backups of the same
// file beyond kKeptBackups. Returns the backup's path. Throws KalvorError when the file is missing or the
// copy fails: without a backup nothing may be rewritten.
QString keepBackup(const QString &curDir, const QString &fileName, const QDateTime &at = QDateTime::currentDateTime());

// The backups of one file, oldest first.
QStringList backupsOf(const QString &curDir, const QString &fileName);

} // namespace kalvor::maintenance
