#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kalvor::test {

class TempDir;

// What a run of kalvor-cli gave: its exit status (-1 when it crashed) and its output as UTF-8 text.
struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

CliResult runCli(const QStringList &arguments, const QString &workingDir = {},
                 const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The same with no file allowed to grow beyond `bytes`: a write past it fails as on a full disk
// (with "File too large"), which is how a test fills the disk without a file system of its own.
CliResult runCliWithFileLimit(const QStringList &arguments, qint64 bytes);

// "kalvor-cli demo" into dir/ws: the filer 7107012345 with February and March 2012, March open.
QString demoWorkspace(const TempDir &dir);

} // namespace kalvor::test
