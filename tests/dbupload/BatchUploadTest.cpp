#include "ReportFiles.h"
#include "dbupload/BatchUpload.h"
#include "dbupload/ObjectsImport.h"
#include "store/KalvorError.h"
#include "support/DatabaseWorkspace.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;
using namespace kalvor::test;

namespace {

class Batch : public ::testing::TestWithParam<TestProvider> {
protected:
    Batch() : ws(GetParam()), folder(ws.dir.file(QStringLiteral("in/201203"))) {}

    void list(const QByteArray &inns) const
    {
        QByteArray csv = "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n";
        for (const QByteArray &inn : inns.split(' '))
            csv += inn + ";1;;;0;;\n";
        importObjects(ws.curDir(), DatabaseWorkspace::shareDir(), ws.dir.write(QStringLiteral("objects.csv"), csv));
    }
    BatchResult run(QStringList *notices = nullptr, const Progress &progress = {}) const
    {
        BatchHooks hooks;
        hooks.notice = [notices](const QString &message) {
            if (notices)
                notices->append(message);
        };
        return runBatchUpload(planBatchUpload(ws.curDir(), DatabaseWorkspace::shareDir(), folder), hooks, progress);
    }
    QStringList keys(const char *table) const
    {
        return ws.rows(QStringLiteral("SELECT dkey FROM %1 ORDER BY dkey").arg(QLatin1String(table)));
    }

    DatabaseWorkspace ws;
    QString folder;
};

const QString A = QStringLiteral("710701234500120300"); // listed as the 10 digits 7107012345
const QString B = QStringLiteral("771234567890120300"); // listed with 12 digits

} // namespace

// Listed and unlisted filers, a 12-digit INN, a listed INN without files, a report of another month, a
// declaration without its requisites and a 9-character name: log.txt holds exactly the lines the
// operator reads, and the database exactly the listed reports' rows, cleaned and in the folder's month.
TEST_P(Batch, LogsEveryFileAndTakesInTheListedReports)
{
    list("7107012345 771234567890 500100732259 632400112233 7710140679");
    // A's rows carry February keys: the month taken in is the folder's.
    const QString feb = QStringLiteral("710701234500120200");
    writeReport(folder, A,
                {rowOf(feb, 1, 0, 0, "supply_name=\"ООО Поставщик\""), rowOf(feb, 1, 1, 0), rowOf(feb, 9, 1, 0),
                 rowOf(feb, 9, 1, 1)});
    writeReport(folder, B, {rowOf(B, 1, 0, 0), rowOf(B, 1, 1, 0)});
    writeReport(folder, QStringLiteral("999999999900120300"), {rowOf(QStringLiteral("999999999900120300"), 1, 0, 0)});
    writeReport(folder, QStringLiteral("632400112233120200"), {rowOf(QStringLiteral("632400112233120200"), 1, 0, 0)});
    writeReport(folder, QStringLiteral("771014067900120300"), {rowOf(QStringLiteral("771014067900120300"), 1, 0, 0)});
    QFile::remove(QDir(folder).filePath(QStringLiteral("771014067900120300d.xml")));
    QFile::copy(QDir(folder).filePath(A + QStringLiteral(".xml")), QDir(folder).filePath(QStringLiteral("short.xml")));

    QStringList notices;
    const BatchResult result = run(&notices);
    EXPECT_TRUE(result.stopMessage.isEmpty()) << result.stopMessage.toStdString();
    EXPECT_EQ(result.message, QString::fromUtf8(kBatchDoneMessage));
    const QStringList expected{QString::fromUtf8(kBatchLogHeader),
                               QStringLiteral("632400112233|1"),
                               QStringLiteral("632400112233120200.xml|(exception error)2"),
                               QStringLiteral("7107012345|1"),
                               QStringLiteral("710701234500120300.xml|(прошел пустые данные)1"),
                               QStringLiteral("7710140679|1"),
                               QStringLiteral("771014067900120300.xml|(exception error)2"),
                               QStringLiteral("771234567890|1"),
                               QStringLiteral("771234567890120300.xml|(прошел пустые данные)1"),
                               QStringLiteral("999999999900120300.xml|0"),
                               QStringLiteral("short.xml|0"),
                               QStringLiteral("500100732259|3")};
    EXPECT_EQ(textFileLines(ws.curDir() + QStringLiteral("log.txt")), expected);
    EXPECT_EQ(result.logLines, expected);
    EXPECT_EQ(notices, (QStringList{QString::fromUtf8(kKalvorFileMissingMessage)
                                        + QDir(folder).filePath(QStringLiteral("771014067900120300d.xml")),
                                    QString::fromUtf8(kWrongFileNameMessage) + QStringLiteral("short.xml")}));
    EXPECT_EQ(result.uploaded, 2);
    EXPECT_EQ(result.failed, 2);

    // The stray position of the missing invoice 9 and its transfer are gone; the position has its name.
    EXPECT_EQ(keys("declaration"), (QStringList{QString::fromLatin1(keyOf(A, 1)), QString::fromLatin1(keyOf(A, 1, 1)),
                                                QString::fromLatin1(keyOf(B, 1)), QString::fromLatin1(keyOf(B, 1, 1))}));
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT supply_name FROM declaration WHERE dkey = '%1'").arg(QLatin1String(keyOf(A, 1, 1)))),
              QStringList{QStringLiteral("ООО Поставщик")});
    EXPECT_EQ(keys("kalvor"), (QStringList{QStringLiteral("7107012345001203"), QStringLiteral("7712345678901203")}));
}

// Taking the folder in again replaces each report; a report that fails this time keeps what the
// database had of it. An empty list of filers stops the batch at once; a cancel stops it after the file.
TEST_P(Batch, AgainReplacesAndAFailureKeepsTheEarlierData)
{
    writeReport(folder, A, {rowOf(A, 1, 0, 0), rowOf(A, 1, 1, 0)});
    writeReport(folder, B, {rowOf(B, 1, 0, 0)});
    const BatchResult empty = run();
    EXPECT_EQ(empty.stopMessage, QString::fromUtf8(kObjectsEmptyMessage));
    EXPECT_EQ(empty.logLines, QStringList{QString::fromUtf8(kBatchLogHeader)});

    list("7107012345 771234567890");
    EXPECT_EQ(run().uploaded, 2);
    const QStringList first = keys("declaration");

    // B's requisites vanish and its declaration changes: B fails and keeps its first upload; A is
    // replaced, not doubled.
    writeReport(folder, A, {rowOf(A, 2, 0, 0), rowOf(A, 2, 1, 0)});
    writeReport(folder, B, {rowOf(B, 5, 0, 0)});
    QFile::remove(QDir(folder).filePath(B + QStringLiteral("d.xml")));
    const BatchResult again = run();
    EXPECT_EQ(again.uploaded, 1);
    EXPECT_EQ(again.failed, 1);
    EXPECT_EQ(keys("declaration"), (QStringList{QString::fromLatin1(keyOf(A, 2)), QString::fromLatin1(keyOf(A, 2, 1)),
                                                QString::fromLatin1(keyOf(B, 1))}));
    EXPECT_EQ(keys("kalvor"), (QStringList{QStringLiteral("7107012345001203"), QStringLiteral("7712345678901203")}));

    Progress progress;
    int files = 0;
    progress.advanced = [&files](qint64 done) { files = static_cast<int>(done); };
    progress.cancelled = [&files] { return files >= 1; };
    const BatchResult cancelled = run(nullptr, progress);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(cancelled.message, QString::fromUtf8(kBatchCancelledMessage));
    EXPECT_EQ(cancelled.logLines.size(), 3); // the head, A's INN and its declaration: no "|3" after a cancel

    EXPECT_THROW(planBatchUpload(ws.curDir(), {}, ws.dir.file(QStringLiteral("in/201213"))), KalvorError);
}

INSTANTIATE_TEST_SUITE_P(Both, Batch, ::testing::Values(TestProvider::SQLite, TestProvider::PostgreSQL),
                         [](const auto &info) { return providerName(info.param); });
