#include "support/CliRunner.h"

#include "support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace kalvor::test {

CliResult runCli(const QStringList &arguments, const QString &workingDir, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(KALVOR_CLI_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

QString demoWorkspace(const TempDir &dir)
{
    const QString home = dir.file(QStringLiteral("ws"));
    const CliResult demo = runCli({QStringLiteral("demo"), home});
    EXPECT_EQ(demo.status, 0) << demo.err.toStdString();
    return home;
}

} // namespace kalvor::test
