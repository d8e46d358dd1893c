#include "app/Startup.h"
#include "app/Workspace.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include "support/SampleRequisites.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

constexpr PeriodChoice kMarch2012{3, 12};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_curDir = m_dir.path() + u'/';
        seedWorkspace(m_curDir, QStringLiteral(KALVOR_SOURCE_SHARE_DIR));
    }

    QString path(const char *relative) const { return m_curDir + QString::fromLatin1(relative); }
    IniFile iniOnDisk() const { return IniFile(path("tamrel.ini")); }
    QString lastPeriod(const char *key) const
    {
        return iniOnDisk().readString(QStringLiteral("last_period"), QString::fromLatin1(key));
    }

    test::TempDir m_dir;
    QString m_curDir;
};

} // namespace

TEST_F(StartupTest, FirstStartMakesThePeriodAndRecordsIt)
{
    TAppSettings settings;
    openConfiguration(settings, m_dir.path()); // the trailing separator is added
    EXPECT_EQ(settings.FcurDir, m_curDir);
    ASSERT_TRUE(isFirstStart(settings));

    const StartupResult result = runFirstStart(settings, kMarch2012, test::sampleRequisites(QStringLiteral("123456789012")));
    EXPECT_TRUE(result.firstStart);
    EXPECT_EQ(result.periodMonth, 3);
    EXPECT_EQ(result.periodYear, 12);
    EXPECT_FALSE(result.converted);
    EXPECT_EQ(result.requisitesLine, QStringLiteral("ООО Ромашка, ИНН 123456789012, г. Тула, А 123, 31.12.2012"));

    const QString stem = QStringLiteral("123456789012120300");
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201203"));
    EXPECT_EQ(settings.FINNYYMMCC, stem);
    EXPECT_EQ(settings.FKalvorFileName, m_curDir + QStringLiteral("reports/201203/") + stem + QStringLiteral("d.xml"));
    EXPECT_EQ(settings.FDeclarationFileName, m_curDir + QStringLiteral("reports/201203/") + stem + QStringLiteral(".xml"));
    EXPECT_EQ(settings.FProductionReferenceFileName, path("reports/prodReference.xml"));
    EXPECT_EQ(settings.Fkalvor.FINN, QStringLiteral("123456789012"));
    EXPECT_EQ(settings.Fkalvor.FDepartmentCount, 1);

    // All nine keys are on disk, not only in memory.
    EXPECT_EQ(lastPeriod("period"), QStringLiteral("201203"));
    EXPECT_EQ(lastPeriod("INNYYMMCC"), stem);
    EXPECT_EQ(lastPeriod("kalvor"), settings.FKalvorFileName);
    EXPECT_EQ(lastPeriod("declaration"), settings.FDeclarationFileName);
    EXPECT_EQ(lastPeriod("department"), path("reports/department.xml"));
    EXPECT_EQ(lastPeriod("regions"), path("reports/regions.xml"));
    EXPECT_EQ(lastPeriod("production"), path("reports/production.xml"));
    EXPECT_EQ(lastPeriod("supplier"), path("reports/supplier.xml"));
    EXPECT_EQ(lastPeriod("prodReference"), path("reports/prodReference.xml"));

    EXPECT_EQ(test::readAll(settings.FDeclarationFileName), test::readAll(path("templates/xml/declaration.xml")));
    EXPECT_FALSE(QFile::exists(path("temp/kalvor.xml")));
    Table saved(settings.FKalvorFileName);
    saved.open();
    ASSERT_EQ(saved.recordCount(), 1);
    EXPECT_EQ(saved.asString(u"name_counter"), QStringLiteral("Петрова А. С."));
}

TEST_F(StartupTest, ATenDigitInnIsWidenedInTheStem)
{
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    runFirstStart(settings, kMarch2012, test::sampleRequisites(QStringLiteral("1234567890")));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000120300"));
    EXPECT_EQ(settings.Fkalvor.FINN, QStringLiteral("1234567890"));
    EXPECT_TRUE(QFile::exists(path("reports/201203/123456789000120300d.xml")));
    EXPECT_TRUE(QFile::exists(path("reports/201203/123456789000120300.xml")));
}

TEST_F(StartupTest, TheEditorFillsTheScratchTable)
{
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    bool called = false;
    runFirstStart(settings, PeriodChoice{12, 16}, [&](Table &table) {
        called = true;
        EXPECT_EQ(table.fileName(), path("temp/kalvor.xml"));
        EXPECT_TRUE(table.isActive());
        EXPECT_TRUE(table.isEmpty());
        table.append();
        writeRequisitesEntry(table, test::sampleRequisites(QStringLiteral("1234567890")));
        return true; // left in insert state, as a dialog may leave it
    });
    EXPECT_TRUE(called);
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201612"));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000161200"));
    EXPECT_EQ(settings.Fkalvor.FName, QStringLiteral("ООО Ромашка"));
}

TEST_F(StartupTest, AnInterruptedFirstStartLeavesAFirstStart)
{
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    // A kill while the requisites dialog is open leaves the configuration as it is on disk then.
    bool asked = false;
    const auto declined = runFirstStart(settings, kMarch2012, [this, &asked](Table &) {
        asked = true;
        TAppSettings killed;
        openConfiguration(killed, m_curDir);
        EXPECT_TRUE(isFirstStart(killed));
        EXPECT_TRUE(killed.FIniFile.keys(QStringLiteral("last_period")).isEmpty());
        return false;
    });
    EXPECT_TRUE(asked);
    EXPECT_FALSE(declined.has_value());
    EXPECT_TRUE(isFirstStart(settings));
    EXPECT_TRUE(iniOnDisk().keys(QStringLiteral("last_period")).isEmpty());
    EXPECT_FALSE(QFile::exists(path("temp/kalvor.xml")));
    EXPECT_FALSE(QFile::exists(path("reports/201203")));

    // A configuration that an older program left after such a kill, with the period only, or without
    // the declaration, is a first start again.
    m_dir.write(QStringLiteral("tamrel.ini"), "[last_period]\r\nperiod=201203\r\n");
    openConfiguration(settings, m_curDir);
    EXPECT_TRUE(isFirstStart(settings));
    m_dir.write(QStringLiteral("tamrel.ini"), "[last_period]\r\nperiod=201203\r\nkalvor=/w/k.xml\r\n");
    openConfiguration(settings, m_curDir);
    EXPECT_TRUE(isFirstStart(settings));
    QFile::remove(path("tamrel.ini"));
    openConfiguration(settings, m_curDir);

    // Requisites the dialog would have refused never make a stem.
    RequisitesEntry bad = test::sampleRequisites(QStringLiteral("123456789"));
    try {
        runFirstStart(settings, kMarch2012, [&bad](Table &table) {
            table.append();
            writeRequisitesEntry(table, bad);
            table.post();
            return true;
        });
        FAIL() << "a nine-character INN was accepted";
    } catch (const KalvorError &e) {
        EXPECT_EQ(e.message(), requisitesRefusedMessage());
    }
    EXPECT_TRUE(isFirstStart(settings));
    EXPECT_FALSE(QFile::exists(path("temp/kalvor.xml")));
    EXPECT_THROW(runFirstStart(settings, PeriodChoice{0, 12}, test::sampleRequisites(QStringLiteral("1234567890"))), KalvorError);
    EXPECT_THROW(runFirstStart(settings, PeriodChoice{1, -1}, test::sampleRequisites(QStringLiteral("1234567890"))), KalvorError);
}

TEST_F(StartupTest, AFirstStartAfterALostConfigurationKeepsTheMonthsDeclaration)
{
    QString declaration;
    {
        TAppSettings first;
        openConfiguration(first, m_curDir);
        runFirstStart(first, kMarch2012, test::sampleRequisites(QStringLiteral("1234567890")));
        declaration = first.FDeclarationFileName;
    }
    Table filled(declaration);
    filled.open();
    filled.append();
    filled.setString(u"dkey", QStringLiteral("12345678900012030000011900000000"));
    filled.setString(u"supply_name", QStringLiteral("ООО Вектор"));
    filled.post();
    filled.saveToFile();
    filled.close();
    const QByteArray month = test::readAll(declaration);

    // tamrel.ini lost: the same month is set up again and opens the declaration it finds.
    QFile::remove(path("tamrel.ini"));
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    ASSERT_TRUE(isFirstStart(settings));
    runFirstStart(settings, kMarch2012, test::sampleRequisites(QStringLiteral("1234567890")));
    EXPECT_EQ(settings.FDeclarationFileName, declaration);
    EXPECT_EQ(lastPeriod("declaration"), declaration);
    EXPECT_TRUE(test::readAll(declaration) == month) << "the filled declaration was replaced";

    // Declined on the same month, the folder that holds it stays.
    QFile::remove(path("tamrel.ini"));
    openConfiguration(settings, m_curDir);
    EXPECT_FALSE(runFirstStart(settings, kMarch2012, [](Table &) { return false; }).has_value());
    EXPECT_TRUE(test::readAll(declaration) == month) << "a declined start removed the month";
}

TEST_F(StartupTest, NormalStartReadsWhatTheFirstStartWrote)
{
    {
        TAppSettings first;
        openConfiguration(first, m_curDir);
        runFirstStart(first, PeriodChoice{1, 12}, test::sampleRequisites(QStringLiteral("1234567890")));
    }
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    ASSERT_FALSE(isFirstStart(settings));
    const StartupResult result = runNormalStart(settings);
    EXPECT_FALSE(result.firstStart);
    EXPECT_EQ(result.periodMonth, 1);
    EXPECT_EQ(result.periodYear, 12);
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201201"));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000120100"));
    EXPECT_EQ(settings.FDeclarationFileName, path("reports/201201/123456789000120100.xml"));
    EXPECT_EQ(settings.FSupplierFileName, path("reports/supplier.xml"));
    EXPECT_EQ(settings.Fkalvor.FLicenseDeadline, QDate(2012, 12, 31));
    EXPECT_EQ(result.requisitesLine, QStringLiteral("ООО Ромашка, ИНН 1234567890, г. Тула, А 123, 31.12.2012"));
}

TEST_F(StartupTest, AnOlderConfigurationGetsTheProductReference)
{
    TAppSettings first;
    openConfiguration(first, m_curDir);
    runFirstStart(first, kMarch2012, test::sampleRequisites(QStringLiteral("1234567890")));
    IniFile older = iniOnDisk();
    older.deleteKey(QStringLiteral("last_period"), QStringLiteral("prodReference"));
    older.writeString(QStringLiteral("201203"), QStringLiteral("Converted"), QStringLiteral("1"));

    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    const StartupResult result = runNormalStart(settings);
    EXPECT_EQ(settings.FProductionReferenceFileName, path("reports/prodReference.xml"));
    EXPECT_EQ(lastPeriod("prodReference"), path("reports/prodReference.xml"));
    EXPECT_TRUE(result.converted);
}

TEST_F(StartupTest, NormalStartFaults)
{
    m_dir.write(QStringLiteral("tamrel.ini"), "[last_period]\r\nperiod=2017ab\r\n");
    TAppSettings settings;
    openConfiguration(settings, m_curDir);
    EXPECT_THROW(runNormalStart(settings), KalvorError);

    // The missing requisites file is the error here.
    m_dir.write(QStringLiteral("tamrel.ini"), "[last_period]\r\nperiod=201701\r\nkalvor=/nowhere/x.xml\r\n");
    TAppSettings later;
    openConfiguration(later, m_curDir);
    EXPECT_THROW(runNormalStart(later), KalvorError);
    EXPECT_EQ(later.FPeriodYear, 17);
}

TEST(ConvertedFlag, OnlyOneMeansConverted)
{
    const IniFile ini = IniFile::fromBytes("[201203]\nConverted=1\n[201204]\nconverted=0\n[201205]\nConverted=11\n");
    EXPECT_TRUE(isPeriodConverted(ini, QStringLiteral("201203")));
    EXPECT_FALSE(isPeriodConverted(ini, QStringLiteral("201204")));
    EXPECT_FALSE(isPeriodConverted(ini, QStringLiteral("201205")));
    EXPECT_FALSE(isPeriodConverted(ini, QStringLiteral("201206")));
}
