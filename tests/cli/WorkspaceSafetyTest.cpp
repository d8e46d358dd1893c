#include "support/CliRunner.h"
#include "support/FakeDesktop.h"
#include "support/TempDir.h"

#include "app/IniFile.h"
#include "app/WorkspaceLock.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QString kFebruary = QStringLiteral("/reports/201202/710701234500120200.xml");
const QString kMarch = QStringLiteral("/reports/201203/710701234500120300.xml");

qint64 rowCount(const QString &file)
{
    return runCli({QStringLiteral("dump"), QStringLiteral("--count"), file}).out.trimmed().toLongLong();
}

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        ASSERT_TRUE(QFile::copy(source, target)) << source.toStdString();
    }
}

} // namespace

TEST(CliWorkspaceLock, ADesktopProgramHoldingTheWorkspaceIsNamedAndADeadOneIsTakenOver)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QByteArray before = readAll(home + kMarch);
    const QStringList merge = {QStringLiteral("--home"), home, QStringLiteral("merge"), QStringLiteral("--add"),
                               home + kFebruary};
    {
        FakeDesktop desktop(home);
        QElapsedTimer clock;
        clock.start();
        const CliResult refused = runCli(merge);
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(refused.err.contains(
            QStringLiteral("занята: с ней работает программа Kalvor (процесс %1").arg(desktop.pid())))
            << refused.err.toStdString();
        // The desktop program keeps the workspace for its whole run: nobody waits for it.
        EXPECT_LT(clock.elapsed(), 10000);
        EXPECT_EQ(readAll(home + kMarch), before);
        // Readers go on.
        EXPECT_EQ(
            runCli({QStringLiteral("--home"), home, QStringLiteral("export-files"), dir.file(QStringLiteral("out"))})
                .status,
            0);

        // A program that died holding the lock holds nothing.
        desktop.crash();
        const CliResult merged = runCli(merge);
        EXPECT_EQ(merged.status, 0) << merged.err.toStdString();
    }
    EXPECT_NE(readAll(home + kMarch), before);
    EXPECT_FALSE(QFileInfo::exists(WorkspaceLock::lockFileName(home)));
}

TEST(CliWorkspaceLock, TwoWritersStartedTogetherBothKeepTheirChanges)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const qint64 march = rowCount(home + kMarch);
    const qint64 february = rowCount(home + kFebruary);
    QProcess first;
    QProcess second;
    for (QProcess *process : {&first, &second})
        process->start(QStringLiteral(KALVOR_CLI_PATH), {QStringLiteral("--home"), home, QStringLiteral("merge"),
                                                         QStringLiteral("--add"), home + kFebruary});
    for (QProcess *process : {&first, &second}) {
        ASSERT_TRUE(process->waitForFinished(60000));
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    }
    EXPECT_EQ(rowCount(home + kMarch), march + 2 * february);
}

TEST(CliWorkspace, ACommandPreparesTheWorkspaceAsTheProgramDoes)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    QDir(home + QStringLiteral("/templates")).removeRecursively();
    const CliResult carried =
        runCli({QStringLiteral("--home"), home, QStringLiteral("carry-over"), QStringLiteral("201204")});
    EXPECT_EQ(carried.status, 0) << carried.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/templates/xml/declaration.xml")));
    EXPECT_GT(rowCount(home + QStringLiteral("/reports/201204/710701234500120400.xml")), 0);
}

TEST(CliWorkspace, ACopiedWorkspaceWorksOnItsOwnFiles)
{
    TempDir dir;
    const QString original = demoWorkspace(dir);
    const QString copy = dir.file(QStringLiteral("copy"));
    copyTree(original, copy);
    const QByteArray before = readAll(original + kMarch);

    const CliResult merged =
        runCli({QStringLiteral("--home"), copy, QStringLiteral("merge"), QStringLiteral("--add"), copy + kFebruary});
    EXPECT_EQ(merged.status, 0) << merged.err.toStdString();
    EXPECT_EQ(readAll(original + kMarch), before);
    EXPECT_GT(rowCount(copy + kMarch), rowCount(original + kMarch));
    // The copy's configuration now names its own files; the original's is untouched.
    const IniFile copied(copy + QStringLiteral("/tamrel.ini"));
    EXPECT_EQ(copied.readString(QStringLiteral("last_period"), QStringLiteral("declaration")), copy + kMarch);
    EXPECT_EQ(copied.readString(QStringLiteral("last_period"), QStringLiteral("kalvor")),
              copy + QStringLiteral("/reports/201203/710701234500120300d.xml"));
    EXPECT_EQ(copied.readString(QStringLiteral("last_period"), QStringLiteral("supplier")),
              copy + QStringLiteral("/reports/supplier.xml"));
    const IniFile kept(original + QStringLiteral("/tamrel.ini"));
    EXPECT_EQ(kept.readString(QStringLiteral("last_period"), QStringLiteral("declaration")), original + kMarch);

    // A file that lies outside any copy (a report folder loaded from elsewhere) stays where it is.
    IniFile ini(copy + QStringLiteral("/tamrel.ini"));
    const QString elsewhere = dir.file(QStringLiteral("handed/reports/201203/710701234500120300.xml"));
    QDir().mkpath(QFileInfo(elsewhere).absolutePath());
    QFile::copy(original + kMarch, elsewhere);
    QFile::remove(copy + kMarch);
    ini.writeString(QStringLiteral("last_period"), QStringLiteral("declaration"), elsewhere);
    EXPECT_EQ(runCli({QStringLiteral("--home"), copy, QStringLiteral("compact")}).status, 0);
    EXPECT_EQ(IniFile(copy + QStringLiteral("/tamrel.ini"))
                  .readString(QStringLiteral("last_period"), QStringLiteral("declaration")),
              elsewhere);
    EXPECT_FALSE(QFileInfo::exists(copy + kMarch));
}
