#include "app/Formats.h"
#include "app/RequisitesLine.h"
#include "app/Version.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace kalvor;

TEST(Formats, RussianFormsWhateverTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(Formats::date(QDate(2012, 2, 1)), QStringLiteral("01.02.2012"));
    EXPECT_EQ(Formats::date(QDate()), QString());
    EXPECT_EQ(Formats::number(1234.5, 3), QStringLiteral("1234,500"));
    EXPECT_EQ(Formats::number(0.125, 2), QStringLiteral("0,13"));
    EXPECT_EQ(Formats::number(-2.5, 0), QStringLiteral("-3"));
    EXPECT_EQ(Formats::number(-0.0004, 3), QStringLiteral("0,000"));
    EXPECT_EQ(Formats::number(-10.0, 1), QStringLiteral("-10,0"));
    QLocale::setDefault(saved);
}

TEST(Formats, ParsingAcceptsCommaOrPoint)
{
    EXPECT_EQ(Formats::parseNumber(u"1,5"), 1.5);
    EXPECT_EQ(Formats::parseNumber(u" 1.5 "), 1.5);
    EXPECT_EQ(Formats::parseNumber(u"-12 345,25"), -12345.25);
    EXPECT_EQ(Formats::parseNumber(u"1\u00A0000"), 1000.0);
    EXPECT_FALSE(Formats::parseNumber(u""));
    EXPECT_FALSE(Formats::parseNumber(u"1,2,3"));
    EXPECT_FALSE(Formats::parseNumber(u"1e5"));
    EXPECT_FALSE(Formats::parseNumber(u"inf"));
    EXPECT_FALSE(Formats::parseNumber(u"abc"));

    EXPECT_EQ(Formats::parseDate(u"01.02.2012"), QDate(2012, 2, 1));
    EXPECT_EQ(Formats::parseDate(u"1.2.2012"), QDate(2012, 2, 1));
    EXPECT_EQ(Formats::parseDate(u"1.2.12"), QDate(2012, 2, 1));
    EXPECT_FALSE(Formats::parseDate(u"31.02.2012").isValid());
    EXPECT_FALSE(Formats::parseDate(u"2012-02-01").isValid());
    EXPECT_FALSE(Formats::parseDate(u"01.02.201").isValid());
    // What is shown parses back to itself.
    const QDate d(1999, 12, 31);
    EXPECT_EQ(Formats::parseDate(Formats::date(d)), d);
    EXPECT_EQ(Formats::parseNumber(Formats::number(-7.125, 3)), -7.125);
}

TEST(Version, FileVersionLosesItsBuildNumber)
{
    EXPECT_EQ(versionTextFrom(u"2.4.4.0"), QStringLiteral("2.4.4"));
    EXPECT_EQ(versionTextFrom(u"1"), QString());
    EXPECT_EQ(versionTextFrom(u""), QString());
    EXPECT_EQ(versionText(), QStringLiteral("1.0.0"));
    EXPECT_EQ(mainWindowCaption(QStringLiteral("2.4.4")),
        QStringLiteral("Декларация о розничной продаже алкогольной продукции  (версия 2.4.4)"));
    EXPECT_EQ(mainWindowCaption(QString()),
        QStringLiteral("Декларация о розничной продаже алкогольной продукции  (версия )"));
    EXPECT_EQ(versionFieldValue(QStringLiteral("2.4.4")), QStringLiteral("Версия 2.4.4"));
}

TEST(RequisitesLineTest, NameInnAddressLicenceAndExpiry)
{
    TKalvor k;
    k.SetName(QStringLiteral("ООО Ромашка"));
    k.SetINN(QStringLiteral("1234567890"));
    k.SetLowAddress(QStringLiteral("г. Тула"));
    k.SetLicenseSerial(QStringLiteral("А"));
    k.SetLicenseNumber(QStringLiteral("123"));
    k.SetLicenseDeadline(QDate(2012, 12, 31));
    EXPECT_EQ(requisitesLine(k), QStringLiteral("ООО Ромашка, ИНН 1234567890, г. Тула, А 123, 31.12.2012"));
    EXPECT_EQ(requisitesLine(TKalvor()), QStringLiteral(", ИНН , ,  , "));
}
