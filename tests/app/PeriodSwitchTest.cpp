#include "app/PeriodSwitch.h"
#include "app/Startup.h"
#include "support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

TEST(PeriodSwitch, FindsTheRequisitesAndTheDeclarationOfAnExistingFolder)
{
    TempDir dir;
    const QString curDir = dir.path() + u'/';
    dir.write(QStringLiteral("reports/201201/123456789000120100d.xml"), "r");
    dir.write(QStringLiteral("reports/201201/123456789000120100.xml"), "d");
    const auto files = findPeriodFiles(curDir, 12, 1);
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(files->periodString, QStringLiteral("201201"));
    EXPECT_TRUE(files->kalvorFileName.endsWith(u"reports/201201/123456789000120100d.xml"));
    EXPECT_TRUE(files->declarationFileName.endsWith(u"reports/201201/123456789000120100.xml"));

    EXPECT_FALSE(findPeriodFiles(curDir, 11, 12).has_value()); // no folder
    EXPECT_FALSE(findPeriodFiles(curDir, 12, 0).has_value());  // a typed month that matches no item
    dir.write(QStringLiteral("reports/201202/123456789000120200d.xml"), "r");
    EXPECT_FALSE(findPeriodFiles(curDir, 12, 2).has_value()); // requisites without a declaration
    QDir().mkpath(dir.file(QStringLiteral("reports/201203")));
    EXPECT_FALSE(findPeriodFiles(curDir, 12, 3).has_value()); // empty folder
}

TEST(PeriodSwitch, ApplyingAPeriodChangesTheSettingsButNotTheConfiguration)
{
    TempDir dir;
    const QString curDir = dir.path() + u'/';
    dir.write(QStringLiteral("tamrel.ini"), "[last_period]\nperiod=201112\n[201201]\nConverted=1\n");
    TAppSettings settings;
    openConfiguration(settings, curDir);
    settings.SetINNYYMMCC(QStringLiteral("123456789000111200"));
    const PeriodFiles files{QStringLiteral("201201"), QStringLiteral("k"), QStringLiteral("d")};
    EXPECT_TRUE(applyPeriod(settings, 12, 1, files));
    EXPECT_EQ(settings.FPeriodMonth, 1);
    EXPECT_EQ(settings.FPeriodYear, 12);
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201201"));
    EXPECT_EQ(settings.FDeclarationFileName, QStringLiteral("d"));
    // New keys take the period's YYMM (here, without requisites, on the current stem's INN).
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000120100"));
    EXPECT_FALSE(applyPeriod(settings, 11, 12, {QStringLiteral("201112"), QStringLiteral("k"), QStringLiteral("d")}));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000111200"));
    EXPECT_EQ(settings.FIniFile.readString(QStringLiteral("last_period"), QStringLiteral("period")), QStringLiteral("201112"));
}
