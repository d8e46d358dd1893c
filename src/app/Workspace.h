#pragma once

#include <QString>
#include <QStringList>

namespace kalvor {

// Where the workspace may come from, in order of precedence.
struct WorkspaceSources {
    QString homeOption;     // value of --home on the command line
    QString homeVariable;   // environment variable KALVOR_HOME
    QString executableDir;  // used when it holds templates/ and is writable (a portable install)
    QString userDataDir;    // the fallback, normally ~/.local/share/kalvor
};

// The sources of this process: its arguments, its environment, its executable's folder and the user's
// data folder.
WorkspaceSources workspaceSources(const QStringList &arguments, const QString &executableDir);
// The value of "--home DIR" or "--home=DIR"; empty when absent.
QString homeOption(const QStringList &arguments);

// The workspace folder chosen from the sources: absolute, cleaned, ending in "/". Nothing is created.
QString resolveWorkspace(const WorkspaceSources &sources);

// The share folder that seeds a workspace: ../share/kalvor beside the executable's folder, where an
// install (wherever its prefix was moved) and the build tree keep it. Empty when it does not exist.
QString locateShareDir(const QString &executableDir);

// Creates the workspace with reports/ and temp/ and copies from the share folder whatever it lacks of
// templates/, the reference books in reports/ and doc/. Existing files are never overwritten. Returns
// the workspace-relative names of the files copied. Throws KalvorError when the workspace cannot be made.
QStringList seedWorkspace(const QString &curDir, const QString &shareDir);

// The whole preparation of a workspace, the same for the desktop program and every command: resolve,
// create and seed from the share folder found beside `executableDir`. Returns FcurDir.
QString prepareWorkspace(const WorkspaceSources &sources, const QString &executableDir);
QString prepareWorkspace(const QStringList &arguments, const QString &executableDir);

// A configured file of another workspace (its path runs through a "reports/" folder outside `curDir`)
// whose copy lies at the same place in this workspace: that copy. A copied workspace then works on its
// own files instead of writing into the original. Any other path is returned as it is.
QString localWorkspaceFile(const QString &curDir, const QString &configuredPath);

} // namespace kalvor
