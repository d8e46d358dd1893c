#include "period/CarryOver.h"
#include "period/NextMonthUpdate.h"
#include "app/Startup.h"
#include "maintenance/Backup.h"
#include "app/TAppSettings.h"
#include "store/DeclarationKey.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <tuple>

namespace kalvor {
namespace {

using test::TempDir;

QByteArray key(int invoice, int position = 0, int transfer = 0)
{
    return test::declarationKey(invoice, position, transfer);
}

QByteArray row(int invoice, int position, int transfer, const QByteArray &more)
{
    return "dkey=\"" + key(invoice, position, transfer) + "\" " + more;
}

// A workspace whose current period is March 2012 with a requisites file and the declaration template.
class CarryOverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.file(QStringLiteral("templates/xml")));
        QDir().mkpath(dir.file(QStringLiteral("temp")));
        CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/declaration.xml"),
                          dir.file(QStringLiteral("templates/xml/declaration.xml")));
        settings.SetcurDir(dir.path() + u'/');
        settings.SetIniFile(IniFile(dir.file(QStringLiteral("tamrel.ini"))));
        TKalvor kalvor;
        kalvor.SetINN(QStringLiteral("710701234500"));
        settings.Setkalvor(kalvor);
        setCurrent(12, 3);
    }

    void setCurrent(int year, int month)
    {
        settings.SetPeriodYear(year);
        settings.SetPeriodMonth(month);
        settings.SetPeriodString(periodString(year, month));
        const QString folder = periodFolder(settings.FcurDir, settings.FPeriodString);
        QDir().mkpath(folder);
        const QString stem = dkey::stemFor(settings.Fkalvor.FINN, settings.FPeriodString);
        settings.SetKalvorFileName(folder + u'/' + stem + QStringLiteral("d.xml"));
        CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"),
                          settings.FKalvorFileName);
    }

    QString writePrevious(const QString &period, const QList<QByteArray> &rows)
    {
        const QString folder = periodFolder(settings.FcurDir, period);
        QDir().mkpath(folder);
        return test::writeDeclaration(
            folder, QStringLiteral("710701234500") + period.mid(2, 4) + QStringLiteral("00.xml"), rows);
    }

    // Plan, pass and install as the command runs them.
    period::CarryOverSummary carry(int year, int month, bool transfer = true)
    {
        const period::CarryOverPlan plan = period::planCarryOver(settings, year, month, transfer);
        period::CarryOverSummary summary;
        if (!plan.previousTable.isEmpty())
            summary = period::carryOverRemains(plan, QStringLiteral("1.0.0"));
        period::installPeriod(settings, plan);
        return summary;
    }

    // "key tail=field value" of every row of the current declaration, in key order.
    QStringList column(const char *field) const
    {
        Table table(settings.FDeclarationFileName);
        table.open();
        table.setIndexFieldNames(QStringLiteral("dkey"));
        QStringList out;
        for (table.first(); !table.eof(); table.next())
            out.append(table.asString(u"dkey").mid(12) + u'=' + table.asString(QString::fromLatin1(field)));
        return out;
    }

    TempDir dir;
    TAppSettings settings;
};

TEST_F(CarryOverTest, KeepsStockDropsTheRestAndClearsMovements)
{
    const QByteArray moved =
        "return_volume=\"1.000\" package_count=\"6\" volume=\"3.000\" sum_coming=\"0.300\" "
        "other_coming=\"1.000\" department_code_inner=\"2\" package_count_charges=\"4\" "
        "volume_charges=\"2.000\" markup=\"10.00\" sum_charges=\"0.200\" "
        "return_volume_charges=\"0.500\" writeoff_volume_charges=\"0.500\" other_charges=\"1.000\" "
        "rest_volume=\"9.000\" purches_price=\"50.00\" supply_name=\"Кристалл, ОАО\"";
    writePrevious(QStringLiteral("201203"), {
                                                row(1, 0, 0, "supply_name=\"Кристалл, ОАО\""),
                                                row(1, 1, 0, moved + " rest=\"5.000\""),
                                                row(1, 2, 0, moved + " rest=\"0.000\""),
                                                row(1, 3, 0, moved), // no remains at all
                                                row(2, 0, 0, ""),
                                                row(2, 1, 0, moved + " rest=\"0\""), // kept by its first transfer
                                                row(2, 1, 1, moved + " rest=\"2.000\""),
                                                row(2, 1, 2, moved + " rest=\"0.000\""),
                                                row(3, 0, 0, ""), // all positions gone
                                                row(3, 1, 0, moved + " rest=\"\""),
                                                row(4, 0, 0, ""), // the last invoice, without stock
                                                row(4, 1, 0, moved + " rest=\"0.000\""),
                                            });

    const period::CarryOverSummary summary = carry(12, 4);
    EXPECT_EQ(summary.rowsRead, 12);
    EXPECT_EQ(summary.rowsKept, 5);
    EXPECT_EQ(summary.invoicesDropped, 2);
    EXPECT_EQ(summary.positionsDropped, 4);
    EXPECT_EQ(summary.transfersDropped, 1);

    // Keys take April's YYMM and keep their stem and numbers; opening remains are last month's closing.
    EXPECT_EQ(column("rest_volume"),
              QStringList({QStringLiteral("12040000000100000000="), QStringLiteral("12040000000100000100=5.000"),
                           QStringLiteral("12040000000200000000="), QStringLiteral("12040000000200000100=0"),
                           QStringLiteral("12040000000200000101=2.000")}));
    // Positions lose every movement; transfers keep their package count, volume, sum and other charges.
    EXPECT_EQ(column("package_count"),
              QStringList({QStringLiteral("12040000000100000000="), QStringLiteral("12040000000100000100=0"),
                           QStringLiteral("12040000000200000000="), QStringLiteral("12040000000200000100=0"),
                           QStringLiteral("12040000000200000101=6")}));
    EXPECT_EQ(column("other_charges").mid(3), QStringList({QStringLiteral("12040000000200000100=0.000"),
                                                           QStringLiteral("12040000000200000101=1.000")}));
    EXPECT_EQ(column("department_code_inner").mid(4), QStringList({QStringLiteral("12040000000200000101=0")}));
    EXPECT_EQ(column("markup").at(1), QStringLiteral("12040000000100000100=0.00"));
    // What is not a movement stays, and so does the closing remains column itself.
    EXPECT_EQ(column("purches_price").at(1), QStringLiteral("12040000000100000100=50.00"));
    EXPECT_EQ(column("supply_name").at(0), QStringLiteral("12040000000100000000=Кристалл, ОАО"));
    EXPECT_EQ(column("rest").at(1), QStringLiteral("12040000000100000100=5.000"));
    // The first invoice carries the version stamp, no other row does.
    EXPECT_EQ(column("version"),
              QStringList({QStringLiteral("12040000000100000000=Версия 1.0.0"), QStringLiteral("12040000000100000100="),
                           QStringLiteral("12040000000200000000="), QStringLiteral("12040000000200000100="),
                           QStringLiteral("12040000000200000101=")}));
}

TEST_F(CarryOverTest, InstallsThePeriodAndRecordsIt)
{
    writePrevious(QStringLiteral("201203"), {row(1, 0, 0, ""), row(1, 1, 0, "rest=\"1.000\"")});
    carry(12, 4);
    const QString folder = periodFolder(settings.FcurDir, QStringLiteral("201204"));
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201204"));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("710701234500120400"));
    EXPECT_EQ(settings.FDeclarationFileName, folder + QStringLiteral("/710701234500120400.xml"));
    EXPECT_EQ(settings.FKalvorFileName, folder + QStringLiteral("/710701234500120400d.xml"));
    EXPECT_TRUE(QFile::exists(settings.FKalvorFileName));
    // The configuration is read afresh from disk: the next start opens April.
    const IniFile ini(dir.file(QStringLiteral("tamrel.ini")));
    EXPECT_EQ(ini.readString(config::kLastPeriod, config::kPeriod), QStringLiteral("201204"));
    EXPECT_EQ(ini.readString(config::kLastPeriod, config::kStem), QStringLiteral("710701234500120400"));
    EXPECT_EQ(ini.readString(config::kLastPeriod, config::kDeclaration), settings.FDeclarationFileName);
    EXPECT_EQ(ini.readString(config::kLastPeriod, config::kKalvor), settings.FKalvorFileName);
}

TEST_F(CarryOverTest, JanuaryComesFromDecemberOfTheYearBefore)
{
    setCurrent(12, 12);
    writePrevious(QStringLiteral("201212"), {row(7, 0, 0, ""), row(7, 1, 0, "rest=\"3.000\"")});
    const period::CarryOverPlan plan = period::planCarryOver(settings, 13, 1, true);
    EXPECT_TRUE(plan.previousTable.endsWith(QStringLiteral("reports/201212/710701234500121200.xml")));
    carry(13, 1);
    EXPECT_EQ(column("rest_volume"),
              QStringList({QStringLiteral("13010000000700000000="), QStringLiteral("13010000000700000100=3.000")}));
}

TEST_F(CarryOverTest, StemOfTenAndTwelveDigitInn)
{
    TKalvor ten;
    ten.SetINN(QStringLiteral("1234567890"));
    settings.Setkalvor(ten);
    EXPECT_EQ(period::planCarryOver(settings, 12, 4, false).stem, QStringLiteral("123456789000120400"));
    TKalvor twelve;
    twelve.SetINN(QStringLiteral("123456789012"));
    settings.Setkalvor(twelve);
    EXPECT_EQ(period::planCarryOver(settings, 12, 4, false).stem, QStringLiteral("123456789012120400"));
}

TEST_F(CarryOverTest, RefusalsChangeNothing)
{
    const QStringList before = QDir(dir.file(QStringLiteral("reports"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    const auto refused = [this](int year, int month) {
        try {
            period::planCarryOver(settings, year, month, true);
        } catch (const KalvorError &e) {
            return e.message();
        }
        return QString();
    };
    EXPECT_EQ(refused(12, 3), QStringLiteral("Выбранный период является текущим."));
    EXPECT_EQ(refused(12, 0), QString::fromUtf8(period::kIncompletePeriodMessage));
    // The previous folder is there but holds the requisites only.
    EXPECT_EQ(refused(12, 4), QStringLiteral("Данных за прошлый месяц не обнаружено."));
    QFile::remove(settings.FKalvorFileName);
    EXPECT_TRUE(refused(12, 5).contains(QStringLiteral("файл сведений о калворе")));
    EXPECT_EQ(QDir(dir.file(QStringLiteral("reports"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot), before);
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201203"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("tamrel.ini"))));
}

TEST_F(CarryOverTest, WithoutPreviousMonthOrWithoutCarryingTheTableStartsEmpty)
{
    writePrevious(QStringLiteral("201203"), {row(1, 0, 0, ""), row(1, 1, 0, "rest=\"1.000\"")});
    // No folder for June: told, then an empty table.
    const period::CarryOverPlan plan = period::planCarryOver(settings, 12, 7, true);
    EXPECT_EQ(plan.notice, QStringLiteral("Данных за прошлый месяц не обнаружено."));
    EXPECT_TRUE(plan.previousTable.isEmpty());
    carry(12, 7);
    EXPECT_TRUE(column("dkey").isEmpty());
    // Carrying not wanted: empty although March has stock.
    carry(12, 4, false);
    EXPECT_TRUE(column("dkey").isEmpty());
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201204"));
}

TEST_F(CarryOverTest, UnreadablePreviousTableLeavesEverythingAsItWas)
{
    const QString previous = writePrevious(QStringLiteral("201203"), {row(1, 0, 0, "")});
    QFile file(previous);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><DATAPACKET><METADATA><FIELDS>");
    file.close();
    const period::CarryOverPlan plan = period::planCarryOver(settings, 12, 4, true);
    EXPECT_THROW(period::carryOverRemains(plan, QStringLiteral("1.0.0")), KalvorError);
    EXPECT_FALSE(QFile::exists(plan.carriedFile));
    EXPECT_FALSE(QFileInfo::exists(plan.folder));
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201203"));
}

TEST_F(CarryOverTest, ReplacingAnExistingTableKeepsItInTheBackupFolder)
{
    writePrevious(QStringLiteral("201203"), {row(1, 0, 0, ""), row(1, 1, 0, "rest=\"1.000\"")});
    writePrevious(QStringLiteral("201204"), {row(9, 0, 0, "")});
    const period::CarryOverPlan plan = period::planCarryOver(settings, 12, 4, true);
    EXPECT_TRUE(plan.targetExists);
    carry(12, 4);
    EXPECT_EQ(column("dkey").size(), 2);
    EXPECT_EQ(QDir(dir.file(QStringLiteral("backup"))).entryList(QDir::Files).size(), 1);
}

TEST_F(CarryOverTest, ATransferKeepsOnlyItsOwnPositionAndInvoice)
{
    // Invoice 6 has nothing left; invoice 7 holds only a transfer with stock, whose position is missing.
    writePrevious(QStringLiteral("201203"), {
                                                row(6, 0, 0, ""),
                                                row(6, 1, 0, "rest=\"0.000\""),
                                                row(7, 0, 0, ""),
                                                row(7, 2, 1, "rest=\"1.500\""),
                                                row(8, 0, 0, ""), // a transfer of its own position: both stay
                                                row(8, 1, 0, "rest=\"0.000\""),
                                                row(8, 1, 1, "rest=\"2.000\""),
                                            });
    carry(12, 4);
    EXPECT_EQ(column("rest_volume"),
              QStringList({QStringLiteral("12040000000700000000="), QStringLiteral("12040000000700000201=1.500"),
                           QStringLiteral("12040000000800000000="), QStringLiteral("12040000000800000100=0.000"),
                           QStringLiteral("12040000000800000101=2.000")}));
}

TEST_F(CarryOverTest, ValuesGoThroughTheTemplatesTypesOrStopTheCommand)
{
    // An older table: the package count as a float, the remains as text.
    const QString previous = writePrevious(QStringLiteral("201203"),
                                           {row(1, 0, 0, ""), row(1, 1, 0, "package_count=\"3.5\" rest=\" 5,250\""),
                                            row(1, 1, 1, "package_count=\"4\" rest=\"1.000\"")});
    test::retypeColumn(previous, "package_count", "fieldtype=\"r8\"");
    test::retypeColumn(previous, "rest", "fieldtype=\"string\" WIDTH=\"20\"");
    carry(12, 4);
    // The position's 3.5 packages were cleared anyway; the transfer's 4 fits the integer column.
    EXPECT_EQ(column("package_count"),
              QStringList({QStringLiteral("12040000000100000000="), QStringLiteral("12040000000100000100=0"),
                           QStringLiteral("12040000000100000101=4")}));
    EXPECT_EQ(column("rest_volume").at(1), QStringLiteral("12040000000100000100=5.250"));

    // A transfer keeps its packages: half a package has no place in the template's integer column.
    const QString april =
        writePrevious(QStringLiteral("201204"), {row(1, 0, 0, ""), row(1, 1, 0, "rest=\"1.000\""),
                                                 row(1, 1, 1, "package_count=\"3.5\" rest=\"1.000\"")});
    test::retypeColumn(april, "package_count", "fieldtype=\"r8\"");
    const period::CarryOverPlan plan = period::planCarryOver(settings, 12, 5, true);
    try {
        period::carryOverRemains(plan, QStringLiteral("1.0.0"));
        ADD_FAILURE() << "carried half a package";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("71070123450012030000000100000101")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("package_count"))) << e.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(plan.carriedFile));
    EXPECT_FALSE(QFileInfo::exists(plan.folder));
}

// April exists with entries of its own when March is corrected: the update carries March's remains again.
class NextMonthUpdateTest : public CarryOverTest {
protected:
    void SetUp() override
    {
        CarryOverTest::SetUp();
        march = writePrevious(QStringLiteral("201203"), marchRows("3.000", "2.000", "0.000"));
        carry(12, 4);
        april = settings.FDeclarationFileName;
        // April sells a litre of vodka and buys cognac under invoice number 2, free again after March's
        // invoice 2 was not carried.
        Table table(april);
        table.open();
        table.setIndexFieldNames(QStringLiteral("dkey"));
        table.setRecNo(2);
        table.edit();
        table.setString(u"volume_charges", QStringLiteral("1.000"));
        table.setString(u"rest", QStringLiteral("2.000"));
        table.post();
        const QByteArray aprilKey = "71070123450012040000000200000";
        for (const auto &[tail, name, rest] : {std::tuple{"000", "", ""}, std::tuple{"100", "Коньяк", "5.000"}}) {
            table.append();
            table.setString(u"dkey", QString::fromLatin1(aprilKey.left(29) + tail));
            table.setString(u"production_name", QString::fromUtf8(name));
            table.setString(u"ttn_numer", QStringLiteral("A-7"));
            table.setString(u"rest_volume", QString::fromLatin1(*name ? "0.000" : ""));
            table.setString(u"rest", QString::fromLatin1(rest));
            table.post();
        }
        table.close();
    }

    QList<QByteArray> marchRows(const char *vodka, const char *wine, const char *beer,
                                const QList<QByteArray> &more = {}) const
    {
        QList<QByteArray> rows{
            row(1, 0, 0, "ttn_numer=\"M-1\""),
            row(1, 1, 0, QByteArray("ttn_numer=\"M-1\" production_name=\"Водка\" rest=\"") + vodka + '"'),
            row(1, 2, 0, QByteArray("ttn_numer=\"M-1\" production_name=\"Вино\" rest=\"") + wine + '"'),
            row(2, 0, 0, "ttn_numer=\"M-2\""),
            row(2, 1, 0, QByteArray("ttn_numer=\"M-2\" production_name=\"Пиво\" rest=\"") + beer + '"'),
        };
        return rows + more;
    }

    period::NextMonthUpdateSummary update()
    {
        const period::NextMonthUpdatePlan plan = period::planNextMonthUpdate(settings, 12, 4);
        const period::NextMonthUpdateSummary summary = period::updateNextMonthRemains(plan, QStringLiteral("1.0.0"));
        if (!summary.upToDate())
            period::installNextMonthUpdate(settings, plan);
        EXPECT_FALSE(QFile::exists(plan.updatedFile));
        return summary;
    }

    QString march;
    QString april;
};

TEST_F(NextMonthUpdateTest, ACorrectedMonthUpdatesTheNextOneKeepingItsEntries)
{
    // Two more bottles of vodka sold in March, a forgotten position of invoice 1 with stock.
    test::writeDeclaration(QFileInfo(march).absolutePath(), QFileInfo(march).fileName(),
                           marchRows("1.000", "2.000", "0.000",
                                     {row(1, 3, 0, "ttn_numer=\"M-1\" production_name=\"Ликер\" rest=\"4.000\"")}));
    const period::NextMonthUpdateSummary summary = update();
    EXPECT_EQ(summary.rowsChanged, 1);
    EXPECT_EQ(summary.rowsAdded, 1);
    // Vodka opens with March's litre and April's own sale still stands; cognac keeps number 2 although
    // March's beer had it; the liqueur arrives as the carry-over would have brought it.
    EXPECT_EQ(column("rest_volume"),
              QStringList({QStringLiteral("12040000000100000000="), QStringLiteral("12040000000100000100=1.000"),
                           QStringLiteral("12040000000100000200=2.000"), QStringLiteral("12040000000100000300=4.000"),
                           QStringLiteral("12040000000200000000="), QStringLiteral("12040000000200000100=0.000")}));
    EXPECT_EQ(column("rest"),
              QStringList({QStringLiteral("12040000000100000000="), QStringLiteral("12040000000100000100=0.000"),
                           QStringLiteral("12040000000100000200=2.000"), QStringLiteral("12040000000100000300=4.000"),
                           QStringLiteral("12040000000200000000="), QStringLiteral("12040000000200000100=5.000")}));
    EXPECT_EQ(column("volume_charges").at(1), QStringLiteral("12040000000100000100=1.000"));
    EXPECT_EQ(maintenance::backupsOf(settings.FcurDir, april).size(), 1);
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201204"));

    // Sold out in March after all: the wine opens April with nothing; run again, nothing is left to do.
    test::writeDeclaration(QFileInfo(march).absolutePath(), QFileInfo(march).fileName(),
                           marchRows("1.000", "0.000", "0.000",
                                     {row(1, 3, 0, "ttn_numer=\"M-1\" production_name=\"Ликер\" rest=\"4.000\"")}));
    EXPECT_EQ(update().rowsChanged, 1);
    EXPECT_EQ(column("rest").at(2), QStringLiteral("12040000000100000200=0.000"));
    EXPECT_TRUE(update().upToDate());
    EXPECT_EQ(maintenance::backupsOf(settings.FcurDir, april).size(), 2);
}

TEST_F(NextMonthUpdateTest, RefusesWhatItCannotDoAndChangesNothing)
{
    const auto refusal = [this](int year, int month) {
        try {
            const period::NextMonthUpdatePlan plan = period::planNextMonthUpdate(settings, year, month);
            period::updateNextMonthRemains(plan, QStringLiteral("1.0.0"));
        } catch (const KalvorError &e) {
            return e.message();
        }
        return QString();
    };
    // May does not exist yet; February has no declaration to carry from.
    EXPECT_TRUE(refusal(12, 5).contains(QStringLiteral("201205"))) << refusal(12, 5).toStdString();
    EXPECT_TRUE(refusal(12, 3).contains(QStringLiteral("201202")));
    // Beer back in March's stock, but April gave its number to cognac.
    test::writeDeclaration(QFileInfo(march).absolutePath(), QFileInfo(march).fileName(),
                           marchRows("3.000", "2.000", "1.000"));
    const QByteArray before = [this] {
        QFile file(april);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_TRUE(refusal(12, 4).contains(QStringLiteral("строка 71070123450012040000000200000000 описывает другую накладную")))
        << refusal(12, 4).toStdString();
    QFile file(april);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

} // namespace
} // namespace kalvor
