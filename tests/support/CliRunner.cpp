#include "support/CliRunner.h"

#include "support/TempDir.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace kalvor::test {

namespace {

CliResult finish(QProcess &process, const QStringList &arguments)
{
    process.start(QStringLiteral(KALVOR_CLI_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

CliResult runCli(const QStringList &arguments, const QString &workingDir, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    return finish(process, arguments);
}

CliResult runCliWithFileLimit(const QStringList &arguments, qint64 bytes)
{
    QProcess process;
    process.setChildProcessModifier([bytes] {
        // Ignored, the signal turns into a failed write with EFBIG instead of killing the program.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    return finish(process, arguments);
}

QString demoWorkspace(const TempDir &dir)
{
    const QString home = dir.file(QStringLiteral("ws"));
    const CliResult demo = runCli({QStringLiteral("demo"), home});
    EXPECT_EQ(demo.status, 0) << demo.err.toStdString();
    return home;
}

} // namespace kalvor::test
