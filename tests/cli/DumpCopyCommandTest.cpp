#include "support/CliRunner.h"
#include "support/PacketText.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor::test;

TEST(CliDump, PrintsVisibleRowsAsStoredText)
{
    const CliResult r = runCli({QStringLiteral("dump"), dataFile(QStringLiteral("packets/engine-one-line.xml"))});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              "code\tname\tprice\n1\tновое \"1\"\t2.00\n2\tВодка\t\n5\tafter\\r\\nline\t\n8\tdetail\t\n");
    const CliResult count = runCli(
        {QStringLiteral("dump"), QStringLiteral("--count"), dataFile(QStringLiteral("packets/engine-one-line.xml"))});
    EXPECT_EQ(count.out, QStringLiteral("4\n"));
}

TEST(CliCopy, WritesTheFormTheNameAsksForAndReadsBackTheSameRows)
{
    TempDir dir;
    const QString input = dataFile(QStringLiteral("packets/hand-written.xml"));
    for (const QString &name : {QStringLiteral("out.xml"), QStringLiteral("out.dat")}) {
        const CliResult r = runCli({QStringLiteral("copy"), input, dir.file(name)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(runCli({QStringLiteral("dump"), dir.file(name)}).out, runCli({QStringLiteral("dump"), input}).out);
    }
}

TEST(CliErrors, OneLineNamingTheFileAndNoOutputFile)
{
    TempDir dir;
    const QString bad = dir.write(QStringLiteral("bad.xml"), "<?xml version=\"1.0\"?><DATAPACKET><METADATA>");
    for (const QStringList &args : {QStringList{QStringLiteral("dump"), bad},
                                    QStringList{QStringLiteral("copy"), bad, dir.file(QStringLiteral("o.xml"))},
                                    QStringList{QStringLiteral("dump"), dir.file(QStringLiteral("missing.xml"))}}) {
        const CliResult r = runCli(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(args.at(1))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("o.xml"))));
    EXPECT_EQ(runCli({QStringLiteral("frobnicate")}).status, 2);
    EXPECT_EQ(runCli({QStringLiteral("dump")}).status, 2);
    const CliResult help = runCli({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("dump")) && help.out.contains(QStringLiteral("copy")));
    EXPECT_TRUE(runCli({QStringLiteral("--version")}).out.startsWith(QStringLiteral("kalvor-cli 1.")));
}
