#include "app/PeriodNames.h"
#include "app/TAppSettings.h"
#include "store/KalvorError.h"

#include <gtest/gtest.h>

using namespace kalvor;

TEST(Period, StringAndItsParts)
{
    EXPECT_EQ(periodString(12, 3), QStringLiteral("201203"));
    EXPECT_EQ(periodString(6, 11), QStringLiteral("200611"));
    EXPECT_EQ(periodMonthOf(QStringLiteral("201203")), 3);
    EXPECT_EQ(periodYearOf(QStringLiteral("201203")), 12);
    EXPECT_THROW(periodMonthOf(QStringLiteral("20120")), KalvorError);
    EXPECT_THROW(periodYearOf(QStringLiteral("20ab03")), KalvorError);
    EXPECT_THROW(periodMonthOf(QString()), KalvorError);
    EXPECT_EQ(periodFolder(QStringLiteral("/w/"), QStringLiteral("201203")), QStringLiteral("/w/reports/201203"));
}

TEST(Period, StepsCrossTheYear)
{
    EXPECT_EQ(nextPeriod(11, 12), std::pair(12, 1));
    EXPECT_EQ(nextPeriod(12, 3), std::pair(12, 4));
    EXPECT_EQ(previousPeriod(12, 1), std::pair(11, 12));
    EXPECT_EQ(previousPeriod(12, 4), std::pair(12, 3));
}

TEST(Period, YearListsRunToNextYearAndHoldTheConfiguredYear)
{
    const QList<int> years = selectorYears(-1, 25);
    EXPECT_EQ(years.size(), 21);
    EXPECT_EQ(years.first(), 6);
    EXPECT_EQ(years.last(), 26);
    EXPECT_EQ(selectorYears(12, 25), years);
    // A configured year outside the run joins it in its place.
    EXPECT_EQ(selectorYears(30, 25).last(), 30);
    EXPECT_EQ(selectorYears(3, 25).first(), 3);
    EXPECT_EQ(selectorYears(3, 25).at(1), 6);
    EXPECT_EQ(yearText(5), QStringLiteral("2005"));
}
