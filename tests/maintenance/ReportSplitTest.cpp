#include "support/MaintenanceWorkspace.h"

#include "maintenance/ReportSplit.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::maintenance;
using namespace kalvor::test;

namespace {

// Five invoices, each with one position, and a transfer on the positions of invoices 2 and 4.
QList<QByteArray> fiveInvoices()
{
    QList<QByteArray> rows;
    for (int i = 1; i <= 5; ++i) {
        rows << row(i, 0, 0, "supply_name=\"ООО &quot;Заря&quot;\" ttn_numer=\"" + QByteArray::number(i) +
                                 "\" ttn_date=\"20120305\" license_date=\"20100101\" department_code=\"1\"");
        rows << row(i, 1, 0, "production_name=\"Водка\" producer_name=\"Кристалл, ОАО\" volume=\"12.500\" "
                             "production_code=\"2\" alcohol=\"40.00\"");
        if (i % 2 == 0)
            rows << row(i, 1, 1, "other_coming=\"1.250\" department_code_inner=\"2\"");
    }
    return rows;
}

QStringList keysOf(const QString &file)
{
    Table table(file);
    table.open();
    QStringList keys;
    for (table.first(); !table.eof(); table.next())
        keys.append(table.asString(u"dkey").mid(18));
    return keys;
}

} // namespace

TEST(ReportSplit, FiveInvoicesGiveTwoAndThreeWithTheirPositionsAndTransfers)
{
    MaintenanceWorkspace ws(fiveInvoices());
    const TextGrid source = declarationAsText(ws.declaration());
    ASSERT_EQ(source.size(), 12);
    EXPECT_EQ(source.at(1).at(19), QStringLiteral("12,500")); // as the user reads it
    EXPECT_EQ(source.at(0).at(5), QStringLiteral("05.03.2012"));

    std::vector<qsizetype> steps;
    const SplitResult halves = splitByInvoices(source, [&steps](qsizetype done, qsizetype) { steps.push_back(done); });
    EXPECT_EQ(steps.size(), 12u);
    EXPECT_EQ(halves.invoices.size(), 5);
    EXPECT_EQ(halves.firstHalf.size(), 2);
    EXPECT_EQ(halves.secondHalf.size(), 3);
    EXPECT_EQ(halves.firstRows.size(), 3);  // positions of 1 and 2, the transfer of 2
    EXPECT_EQ(halves.secondRows.size(), 4); // positions of 3, 4, 5, the transfer of 4

    const QString one = splitResultFile(ws.settings.FcurDir, ws.settings.FINNYYMMCC, 1);
    const QString two = splitResultFile(ws.settings.FcurDir, ws.settings.FINNYYMMCC, 2);
    EXPECT_EQ(QFileInfo(one).fileName(), QStringLiteral("710701234500120300(1).xml"));
    EXPECT_TRUE(QFileInfo(QFileInfo(one).absolutePath()).isDir()); // divide/ is made when missing
    writeSplitHalf(one, halves.firstHalf, halves.firstRows);
    writeSplitHalf(two, halves.secondHalf, halves.secondRows);

    EXPECT_EQ(keysOf(one), (QStringList{QStringLiteral("00000100000000"), QStringLiteral("00000200000000"),
                                        QStringLiteral("00000100000100"), QStringLiteral("00000200000100"),
                                        QStringLiteral("00000200000101")}));
    EXPECT_EQ(keysOf(two).size(), 7);
    EXPECT_TRUE(keysOf(two).contains(QStringLiteral("00000400000101")));

    Table first(one);
    first.open();
    EXPECT_EQ(first.fieldCount(), 32);
    EXPECT_EQ(first.fieldIndex(u"version"), -1);
    first.first();
    EXPECT_EQ(first.asString(u"supply_name"), QStringLiteral("ООО \"Заря\""));
    EXPECT_EQ(first.asString(u"ttn_date"), QStringLiteral("20120305"));
    EXPECT_EQ(first.asString(u"license_date"), QStringLiteral("20100101"));
    EXPECT_TRUE(first.isNull(u"production_name")); // not an invoice column
    first.setRecNo(3);
    EXPECT_EQ(first.asString(u"volume"), QStringLiteral("12.500"));
    EXPECT_EQ(first.asString(u"alcohol"), QStringLiteral("40.00"));
    EXPECT_EQ(first.asString(u"producer_name"), QStringLiteral("Кристалл, ОАО")); // text keeps its comma
    EXPECT_TRUE(first.isNull(u"ttn_numer"));
    EXPECT_TRUE(readAll(one).contains("RowState=\"4\""));
}

TEST(ReportSplit, OneInvoiceGoesWholeIntoTheSecondHalfAndSplittingAgainChangesNothing)
{
    MaintenanceWorkspace ws({row(1), row(1, 1), row(1, 1, 1), row(1, 2)});
    const TextGrid source = declarationAsText(ws.declaration());
    const SplitResult halves = splitByInvoices(source);
    EXPECT_TRUE(halves.firstHalf.isEmpty());
    EXPECT_TRUE(halves.firstRows.isEmpty());
    EXPECT_EQ(halves.secondRows.size(), 3);
    const SplitResult again = splitByInvoices(source);
    EXPECT_EQ(again.secondRows, halves.secondRows);
    EXPECT_EQ(again.secondHalf, halves.secondHalf);

    const QString one = splitResultFile(ws.settings.FcurDir, ws.settings.FINNYYMMCC, 1);
    writeSplitHalf(one, halves.firstHalf, halves.firstRows);
    EXPECT_EQ(dumpOfFile(one).find('\n'), dumpOfFile(one).size() - 1); // the head alone
}

TEST(ReportSplit, RowsWithoutAnInvoiceNumberAreSkipped)
{
    const TextGrid source{{QStringLiteral("71070123450012030000000100000000")},
                          {QStringLiteral("71070123450012030000000100000100")},
                          {QStringLiteral("7107012345")},
                          {QString()}};
    const SplitResult halves = splitByInvoices(source);
    EXPECT_EQ(halves.invoices.size(), 1);
    EXPECT_EQ(halves.secondRows.size(), 1);
}

TEST(ReportSplit, PreparedCellsTakePointsInNumberColumnsOnly)
{
    TextRow r(33);
    r[0] = QStringLiteral("71070123450012030000000100000100");
    r[7] = QStringLiteral("Коньяк 0,5 л");
    r[10] = QStringLiteral("Ромашка, ООО");
    r[19] = QStringLiteral("12,500");
    r[21] = QStringLiteral("1,5");
    TextRow keyless(33);
    keyless[19] = QStringLiteral("1,0");
    TextGrid rows{r, keyless};
    preparePacketCells(rows);
    EXPECT_EQ(rows[0][7], QStringLiteral("Коньяк 0,5 л"));
    EXPECT_EQ(rows[0][10], QStringLiteral("Ромашка, ООО"));
    EXPECT_EQ(rows[0][19], QStringLiteral("12.500"));
    EXPECT_EQ(rows[0][21], QStringLiteral("1.5"));
    EXPECT_EQ(rows[1][19], QStringLiteral("1,0"));
}

TEST(ReportSplit, ABadDateOrAValueItsColumnCannotHoldStopsTheSaveAndLeavesNoFile)
{
    TempDir dir;
    TextRow invoice(33);
    invoice[0] = QStringLiteral("71070123450012030000000100000000");
    invoice[5] = QStringLiteral("31.02.2012");
    const QString file = dir.file(QStringLiteral("r(1).xml"));
    EXPECT_THROW(writeSplitHalf(file, {invoice}, {}), KalvorError);
    EXPECT_FALSE(QFileInfo::exists(file));

    // Half a package (from a declaration whose count is a float) would make a result that never loads.
    invoice[5].clear();
    TextRow position(33);
    position[0] = QStringLiteral("71070123450012030000000100000100");
    position[18] = QStringLiteral("3,5");
    try {
        writeSplitHalf(file, {invoice}, {position});
        ADD_FAILURE() << "wrote half a package";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("строка 71070123450012030000000100000100, поле package_count")))
            << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST(ExchangeFile, RoundTripsTheGridAndReadsWindowsFilesOfRaggedLines)
{
    TempDir dir;
    const QString file = dir.file(QStringLiteral("divide/data.txt"));
    const TextGrid grid{{QStringLiteral("a"), QString(), QStringLiteral("ООО \"Заря\"")},
                        {QStringLiteral("b"), QStringLiteral("1,5"), QString()}};
    saveExchangeFile(file, grid);
    EXPECT_EQ(readAll(file), QByteArray("a||ООО \"Заря\"\nb|1,5|\n"));
    EXPECT_EQ(loadExchangeFile(file), grid);

    const QString windows = dir.write(QStringLiteral("w.txt"), ansi("Водка|1,5\r\nодна|две|три\r\n"));
    const std::optional<TextGrid> read = loadExchangeFile(windows);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, (TextGrid{{QStringLiteral("Водка"), QStringLiteral("1,5"), QString()},
                               {QStringLiteral("одна"), QStringLiteral("две"), QStringLiteral("три")}}));
    EXPECT_FALSE(loadExchangeFile(dir.file(QStringLiteral("missing.txt"))));
}
