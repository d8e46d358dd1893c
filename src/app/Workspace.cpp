#include "app/Workspace.h"

#include "store/KalvorError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kalvor {
namespace {

QString withSlash(const QString &dir)
{
    QString path = QDir::cleanPath(QDir(dir).absolutePath());
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

bool isDir(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// Copies one file unless the destination exists; the copy is made writable, since installed files may
// be read-only and the workspace's files are changed in place.
bool copyMissing(const QString &source, const QString &destination)
{
    if (QFileInfo::exists(destination))
        return false;
    QDir().mkpath(QFileInfo(destination).absolutePath());
    if (!QFile::copy(source, destination))
        return false;
    QFile::setPermissions(destination,
        QFile::permissions(destination) | QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    return true;
}

void copyTree(const QString &shareDir, const QString &curDir, const QString &folder, bool recursive,
    QStringList &copied)
{
    const QString from = shareDir + u'/' + folder;
    if (!isDir(from))
        return;
    QDirIterator it(from, QDir::Files | QDir::Hidden,
        recursive ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = folder + u'/' + QDir(from).relativeFilePath(source);
        if (copyMissing(source, curDir + relative))
            copied.append(relative);
    }
}

} // namespace

QString homeOption(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == u"--home")
            return i + 1 < arguments.size() ? arguments[i + 1] : QString();
        if (arg.startsWith(u"--home="))
            return arg.mid(7);
    }
    return {};
}

WorkspaceSources workspaceSources(const QStringList &arguments, const QString &executableDir)
{
    WorkspaceSources sources;
    sources.homeOption = homeOption(arguments);
    sources.homeVariable = qEnvironmentVariable("KALVOR_HOME");
    sources.executableDir = executableDir;
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    sources.userDataDir = data + QStringLiteral("/kalvor");
    return sources;
}

QString resolveWorkspace(const WorkspaceSources &sources)
{
    if (!sources.homeOption.isEmpty())
        return withSlash(sources.homeOption);
    if (!sources.homeVariable.isEmpty())
        return withSlash(sources.homeVariable);
    if (isDir(sources.executableDir + QStringLiteral("/templates")) && QFileInfo(sources.executableDir).isWritable())
        return withSlash(sources.executableDir);
    return withSlash(sources.userDataDir);
}

QString locateShareDir(const QString &executableDir)
{
    // Programs live in PREFIX/bin beside PREFIX/share/kalvor; the build tree mirrors that layout with a
    // link to the source share/, so a moved install or build tree still finds its own files.
    const QString share = QDir::cleanPath(executableDir + QStringLiteral("/../share/kalvor"));
    return isDir(share) ? share : QString();
}

QStringList seedWorkspace(const QString &curDir, const QString &shareDir)
{
    for (const QString &dir : {curDir, curDir + QStringLiteral("reports"), curDir + QStringLiteral("temp")})
        if (!QDir().mkpath(dir))
            throw KalvorError(QStringLiteral("Не удалось создать папку «%1»").arg(dir));

    QStringList copied;
    if (!isDir(shareDir))
        return copied;
    const QString share = QDir::cleanPath(shareDir);
    if (QFileInfo(share).canonicalFilePath() == QFileInfo(curDir).canonicalFilePath())
        return copied;
    copyTree(share, curDir, QStringLiteral("templates"), true, copied);
    // Only the shared reference books: period folders never come from the installation.
    copyTree(share, curDir, QStringLiteral("reports"), false, copied);
    copyTree(share, curDir, QStringLiteral("doc"), true, copied);
    // The connection file of the reporting database, the operator's to edit.
    const QString connection = QStringLiteral("db.udl");
    if (QFileInfo::exists(share + u'/' + connection) && copyMissing(share + u'/' + connection, curDir + connection))
        copied.append(connection);
    return copied;
}

QString prepareWorkspace(const WorkspaceSources &sources, const QString &executableDir)
{
    const QString curDir = resolveWorkspace(sources);
    seedWorkspace(curDir, locateShareDir(executableDir));
    return curDir;
}

QString prepareWorkspace(const QStringList &arguments, const QString &executableDir)
{
    return prepareWorkspace(workspaceSources(arguments, executableDir), executableDir);
}

QString localWorkspaceFile(const QString &curDir, const QString &configuredPath)
{
    if (configuredPath.isEmpty())
        return configuredPath;
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(configuredPath));
    const QString home = QDir::cleanPath(curDir) + u'/';
    if (path.startsWith(home))
        return configuredPath;
    const qsizetype reports = path.lastIndexOf(QStringLiteral("/reports/"));
    if (reports < 0)
        return configuredPath;
    const QString local = home + path.mid(reports + 1);
    return QFileInfo(local).isFile() ? local : configuredPath;
}

} // namespace kalvor
