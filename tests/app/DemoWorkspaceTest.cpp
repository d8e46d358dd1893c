#include "app/DemoWorkspace.h"
#include "app/PeriodSwitch.h"
#include "app/Startup.h"
#include "period/ReportFolder.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

TEST(DemoWorkspace, MakesTwoOpenablePeriodsAndRefusesAConfiguredFolder)
{
    TempDir dir;
    EXPECT_GT(createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 50), 90u);
    TAppSettings settings;
    openConfiguration(settings, dir.path() + u'/');
    const StartupResult result = runNormalStart(settings);
    EXPECT_EQ(result.periodMonth, 3);
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("710701234500120300"));
    EXPECT_TRUE(findPeriodFiles(dir.path() + u'/', 12, 2).has_value());
    Table declaration(settings.FDeclarationFileName);
    declaration.open();
    EXPECT_TRUE(declaration.asString(u"dkey").startsWith(settings.FINNYYMMCC));
    Table departments(settings.FDepartmentCodeFileName);
    departments.open();
    EXPECT_EQ(departments.recordCount(), 2);
    // The subdivisions are numbered as the verification counts them, so the demo's own report passes
    // without a warning; the product book offers the months' products.
    EXPECT_EQ(departments.asString(u"code"), QStringLiteral("1"));
    const period::Verification verification = period::verifyReport(settings.FDeclarationFileName, settings.FKalvorFileName);
    EXPECT_EQ(verification.messages, QStringList{QStringLiteral("Верификация завершена успешно.")});
    Table products(settings.FProductionReferenceFileName);
    products.open();
    EXPECT_GT(products.recordCount(), 5);
    EXPECT_FALSE(products.asString(u"producer_name").isEmpty());
    EXPECT_THROW(createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 50), KalvorError);
}
