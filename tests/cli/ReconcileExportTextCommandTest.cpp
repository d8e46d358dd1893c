#include "support/CliRunner.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor::test;

TEST(CliReconcileExportText, WriteTheirFilesInTheWorkspaceAndPrintTheMessage)
{
    TempDir dir;
    const QString home = dir.file(QStringLiteral("ws"));
    ASSERT_EQ(runCli({QStringLiteral("demo"), home}).status, 0);

    const CliResult reconcile = runCli({QStringLiteral("--home"), home, QStringLiteral("reconcile")});
    EXPECT_EQ(reconcile.status, 0) << reconcile.err.toStdString();
    const QStringList log = textFileLines(home + QStringLiteral("/error.log"));
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.first().startsWith(QStringLiteral("dkey|№ Накладной|")));
    // The count printed is that of the log's lines.
    EXPECT_EQ(reconcile.out, QStringLiteral("Количество ошибок: %1 ( см. файл error.log)\n").arg(log.size() - 1));

    const CliResult exported = runCli({QStringLiteral("--home"), home, QStringLiteral("export-text")});
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("Данные выгружены:  ( см. файл data.txt)\n"));
    const QStringList data = textFileLines(home + QStringLiteral("/data.txt"));
    ASSERT_GT(data.size(), 1);
    EXPECT_TRUE(data.first().startsWith(QStringLiteral("dkey|поставщик|")));
    for (const QString &line : data)
        EXPECT_EQ(line.split(u'|').size(), 32) << line.toStdString();
    EXPECT_TRUE(
        textFileLines(home + QStringLiteral("/error.log")).first().startsWith(QStringLiteral("dkey|поставщик|")));
}

TEST(CliReconcileExportText, RefuseExtraArgumentsAndWorkspacesWithoutAPeriod)
{
    TempDir dir;
    for (const QString &command : {QStringLiteral("reconcile"), QStringLiteral("export-text")}) {
        const CliResult extra = runCli({QStringLiteral("--home"), dir.path(), command, QStringLiteral("more")});
        EXPECT_EQ(extra.status, 2) << command.toStdString();
        const CliResult empty = runCli({QStringLiteral("--home"), dir.file(QStringLiteral("empty")), command});
        EXPECT_EQ(empty.status, 1) << command.toStdString();
        EXPECT_FALSE(empty.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("empty/error.log"))));
    }
}
