#include "support/CliRunner.h"
#include "support/TempDir.h"

#include "app/IniFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QString kMarch = QStringLiteral("/reports/201203/710701234500120300.xml");
// Enough for the configuration and the small files, too little for a declaration of the demo.
constexpr qint64 kSmallDisk = 16 * 1024;
// Room for the requisites (about 1.3 kB), none for the declaration template (about 2.4 kB).
constexpr qint64 kTemplateDisk = 2048;

// Every file under a folder with its size: what a failed command must leave as it found it.
QStringList listing(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        out.append(QDir(folder).relativeFilePath(file) + u'=' + QString::number(QFileInfo(file).size()));
    }
    out.sort();
    return out;
}

void makeFifo(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

} // namespace

TEST(CliFiles, NothingButARegularFileIsReadOrSavedOver)
{
    TempDir dir;
    const QString input = dataFile(QStringLiteral("packets/hand-written.xml"));
    const QString fifo = dir.file(QStringLiteral("fifo.xml"));
    makeFifo(fifo);
    const QString folder = dir.file(QStringLiteral("folder.xml"));
    QDir().mkpath(folder);
    const QString link = dir.file(QStringLiteral("link.xml"));
    QFile::link(fifo, link);

    for (const QString &target : {fifo, folder, link}) {
        const CliResult saved = runCli({QStringLiteral("copy"), input, target});
        EXPECT_EQ(saved.status, 1) << target.toStdString();
        EXPECT_TRUE(saved.err.contains(QStringLiteral("не является обычным файлом"))) << saved.err.toStdString();
        // Read without hanging, and refused the same way.
        const CliResult read = runCli({QStringLiteral("dump"), target});
        EXPECT_EQ(read.status, 1);
        EXPECT_TRUE(read.err.contains(target + QStringLiteral(" не является обычным файлом")))
            << read.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    TempDir home;
    const QString ws = demoWorkspace(home);
    const CliResult merged =
        runCli({QStringLiteral("--home"), ws, QStringLiteral("merge"), QStringLiteral("--replace"), fifo});
    EXPECT_EQ(merged.status, 1);
    EXPECT_GT(readAll(ws + kMarch).size(), 0);
}

TEST(CliFullDisk, TheSystemsReasonIsToldAndNothingHalfWrittenStays)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString reason = QStringLiteral("Файл слишком велик");
    const QStringList before = listing(home);
    const QByteArray ini = readAll(home + QStringLiteral("/tamrel.ini"));

    // A save names the file and the reason, never "Writing canceled by application", and leaves no
    // temporary file beside its target.
    const QString copy = dir.file(QStringLiteral("copies/march.xml"));
    QDir().mkpath(QFileInfo(copy).absolutePath());
    const CliResult copied = runCliWithFileLimit({QStringLiteral("copy"), home + kMarch, copy}, kSmallDisk);
    EXPECT_EQ(copied.status, 1);
    EXPECT_EQ(copied.err, QStringLiteral("kalvor-cli: Не удалось записать файл %1: %2\n").arg(copy, reason));
    EXPECT_TRUE(listing(QFileInfo(copy).absolutePath()).isEmpty());
    const CliResult compacted =
        runCliWithFileLimit({QStringLiteral("--home"), home, QStringLiteral("compact")}, kSmallDisk);
    EXPECT_EQ(compacted.status, 1);
    EXPECT_TRUE(compacted.err.contains(reason)) << compacted.err.toStdString();

    // A new month that cannot be written leaves neither its folder nor anything in temp/.
    for (const QStringList &carryOver :
         {QStringList{QStringLiteral("201204")}, QStringList{QStringLiteral("201204"), QStringLiteral("--empty")}}) {
        const CliResult carried = runCliWithFileLimit(
            QStringList{QStringLiteral("--home"), home, QStringLiteral("carry-over")} + carryOver, kTemplateDisk);
        EXPECT_EQ(carried.status, 1);
        EXPECT_TRUE(carried.err.contains(reason)) << carried.err.toStdString();
    }
    EXPECT_EQ(listing(home), before);
    EXPECT_EQ(readAll(home + QStringLiteral("/tamrel.ini")), ini);

    const QString out = dir.file(QStringLiteral("out"));
    const CliResult exported =
        runCliWithFileLimit({QStringLiteral("--home"), home, QStringLiteral("export-files"), out}, kSmallDisk);
    EXPECT_EQ(exported.status, 1);
    EXPECT_TRUE(exported.err.contains(out + QStringLiteral("/201203/710701234500120300.xml: ") + reason))
        << exported.err.toStdString();
    EXPECT_TRUE(listing(out).isEmpty()) << listing(out).join(u' ').toStdString();

    // A demo that cannot be written leaves no configuration naming its files.
    const QString demo = dir.file(QStringLiteral("demo"));
    const CliResult made = runCliWithFileLimit({QStringLiteral("demo"), demo}, kSmallDisk);
    EXPECT_EQ(made.status, 1);
    EXPECT_TRUE(made.err.contains(reason)) << made.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(demo + QStringLiteral("/tamrel.ini")));
    EXPECT_FALSE(QFileInfo::exists(demo + QStringLiteral("/reports/201202")));
    EXPECT_FALSE(QFileInfo::exists(demo + QStringLiteral("/reports/201203")));
    // Once there is room the same folder becomes a workspace.
    EXPECT_EQ(runCli({QStringLiteral("demo"), demo}).status, 0);
}
