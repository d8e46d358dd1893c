#include "support/CliRunner.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

using namespace kalvor::test;

namespace {

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

TEST(CliPeriodExchange, ExportedFolderVerifiesAndNothingElseIsTouched)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString dest = dir.file(QStringLiteral("out"));
    const CliResult exported = runCli({QStringLiteral("--home"), home, QStringLiteral("export-files"), dest});
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_TRUE(exported.out.isEmpty());
    EXPECT_EQ(QDir(dest + QStringLiteral("/201203")).entryList(QDir::Files),
              (QStringList{QStringLiteral("710701234500120300.xml"), QStringLiteral("710701234500120300d.xml")}));

    // verify needs no workspace: neither the configured one nor the default one is made.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.file(QStringLiteral("home")));
    env.insert(QStringLiteral("KALVOR_HOME"), dir.file(QStringLiteral("nowhere")));
    const QString good = dest + QStringLiteral("/201203");
    const QString badName = dir.file(QStringLiteral("2012ab"));
    QDir().mkpath(badName);
    const CliResult one = runCli({QStringLiteral("verify"), good}, {}, env);
    ASSERT_EQ(lines(one.out).size(), 1) << one.out.toStdString();
    EXPECT_TRUE(lines(one.out).first().startsWith(good + u'\t'));
    const bool passed = one.out.endsWith(QStringLiteral("Верификация завершена успешно.\n"));
    EXPECT_EQ(one.status, passed ? 0 : 1) << one.out.toStdString();

    const CliResult both = runCli({QStringLiteral("verify"), good, badName}, {}, env);
    EXPECT_EQ(both.status, 1);
    ASSERT_EQ(lines(both.out).size(), 2);
    EXPECT_EQ(lines(both.out).at(1), badName + QStringLiteral("\tНазвание папки должно быть в формате: YYYYMM"));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("home"))));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("nowhere"))));

    EXPECT_EQ(runCli({QStringLiteral("verify")}).status, 2);
}

TEST(CliPeriodExchange, MergeAddsOrReplacesOnTheConfiguredPeriod)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString february = home + QStringLiteral("/reports/201202/710701234500120200.xml");
    const QString march = home + QStringLiteral("/reports/201203/710701234500120300.xml");
    const CliResult count = runCli({QStringLiteral("dump"), QStringLiteral("--count"), march});
    const CliResult added = runCli({QStringLiteral("dump"), QStringLiteral("--count"), february});

    const CliResult merged =
        runCli({QStringLiteral("--home"), home, QStringLiteral("merge"), QStringLiteral("--add"), february});
    EXPECT_EQ(merged.status, 0) << merged.err.toStdString();
    EXPECT_EQ(merged.out, QStringLiteral("Отчет добавлен: строк %1\n").arg(added.out.trimmed()));
    EXPECT_EQ(runCli({QStringLiteral("dump"), QStringLiteral("--count"), march}).out.trimmed().toLongLong(),
              count.out.trimmed().toLongLong() + added.out.trimmed().toLongLong());
    // Every key of the merged table belongs to March.
    EXPECT_FALSE(runCli({QStringLiteral("dump"), march}).out.contains(QStringLiteral("710701234500120200")));

    const QString text = dir.write(QStringLiteral("text.xml"), "not a packet");
    const QByteArray before = readAll(march);
    const CliResult refused =
        runCli({QStringLiteral("--home"), home, QStringLiteral("merge"), QStringLiteral("--replace"), text});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(text)) << refused.err.toStdString();
    EXPECT_EQ(readAll(march), before);

    const CliResult replaced =
        runCli({QStringLiteral("--home"), home, QStringLiteral("merge"), QStringLiteral("--replace"), february});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(readAll(march), readAll(february));

    EXPECT_EQ(runCli({QStringLiteral("--home"), home, QStringLiteral("merge"), february}).status, 2);
}

TEST(CliPeriodExchange, ArchiverRunsOnlyWhenAskedWithTheTwoArguments)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString record = dir.file(QStringLiteral("args.txt"));
    const QString script = dir.write(QStringLiteral("archiver.sh"),
                                     "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record.toUtf8() + ".part\" && mv \"" +
                                         record.toUtf8() + ".part\" \"" + record.toUtf8() + "\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile ini(home + QStringLiteral("/tamrel.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("\n[arc]\ncmd=" + script.toUtf8() + "\n");
    ini.close();

    const QString dest = dir.file(QStringLiteral("out"));
    EXPECT_EQ(runCli({QStringLiteral("--home"), home, QStringLiteral("export-files"), dest}).status, 0);
    QThread::msleep(300);
    EXPECT_FALSE(QFileInfo::exists(record));
    const CliResult archived =
        runCli({QStringLiteral("--home"), home, QStringLiteral("export-files"), QStringLiteral("--archive"), dest},
               dir.path());
    EXPECT_EQ(archived.status, 0) << archived.err.toStdString();
    EXPECT_TRUE(archived.out.isEmpty());

    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(record) && waited.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(QString::fromUtf8(readAll(record)),
              QStringLiteral("201203.zip\n") + dest + QStringLiteral("/201203/*.*\n"));
}
