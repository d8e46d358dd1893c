#include "store/DeclarationKey.h"
#include "store/KalvorError.h"

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

const QString kStem = QStringLiteral("123456789000120300");

QString key(const char *middle) { return kStem + QString::fromLatin1(middle); }

} // namespace

TEST(DeclarationKey, KindIsToldByTheNumbersAlone)
{
    EXPECT_EQ(dkey::kindOf(key("00000500000000")), dkey::KeyKind::Invoice);
    EXPECT_EQ(dkey::kindOf(key("00000500000300")), dkey::KeyKind::Position);
    EXPECT_EQ(dkey::kindOf(key("00000500000302")), dkey::KeyKind::Transfer);
    // A transfer number without a position belongs to no row kind.
    EXPECT_EQ(dkey::kindOf(key("00000500000001")), dkey::KeyKind::Invalid);
    EXPECT_EQ(dkey::kindOf(key("0000050000030")), dkey::KeyKind::Invalid);
    EXPECT_EQ(dkey::kindOf(key("000005000003000")), dkey::KeyKind::Invalid);
    EXPECT_EQ(dkey::kindOf(key("00000A00000300")), dkey::KeyKind::Invalid);
    EXPECT_EQ(dkey::kindOf(QString()), dkey::KeyKind::Invalid);
    // The INN part is the filer's business; the kind does not depend on it.
    EXPECT_EQ(dkey::kindOf(QStringLiteral("12345678900X12030000000500000300")), dkey::KeyKind::Position);

    // The byte form used by filters over stored text agrees with the text form.
    for (const char *middle : {"00000500000000", "00000500000300", "00000500000302", "00000500000001"}) {
        const QByteArray bytes = key(middle).toLatin1();
        EXPECT_EQ(dkey::kindOf(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))),
            dkey::kindOf(key(middle)))
            << middle;
    }
}

TEST(DeclarationKey, NumbersAreReadFromTheirFields)
{
    const QString k = key("00000500000302");
    EXPECT_EQ(dkey::invoiceNumber(k), 5);
    EXPECT_EQ(dkey::positionNumber(k), 3);
    EXPECT_EQ(dkey::transferNumber(k), 2);
    EXPECT_EQ(dkey::invoiceNumber(key("00A005")), -1);
    EXPECT_EQ(dkey::transferNumber(key("0000050000030")), -1);
}

TEST(DeclarationKey, NewKeysAreOneAboveTheLastNumber)
{
    EXPECT_EQ(dkey::nextInvoiceKey(kStem, 0), key("00000100000000"));
    EXPECT_EQ(dkey::nextInvoiceKey(kStem, 3), key("00000400000000"));
    EXPECT_EQ(dkey::nextPositionKey(key("00000700000000"), 0), key("00000700000100"));
    EXPECT_EQ(dkey::nextPositionKey(key("00000500000000"), 2), QStringLiteral("12345678900012030000000500000300"));
    EXPECT_EQ(dkey::nextTransferKey(key("00000700000100"), 0), key("00000700000101"));
    EXPECT_EQ(dkey::nextTransferKey(key("00000500000300"), 1), key("00000500000302"));
    // Only the parent's leading part is taken, whatever follows it.
    EXPECT_EQ(dkey::nextPositionKey(key("00000700000999"), 0), key("00000700000100"));
}

TEST(DeclarationKey, NumbersThatWouldNotFitAreRefused)
{
    EXPECT_EQ(dkey::nextInvoiceKey(kStem, 999998), key("99999900000000"));
    EXPECT_THROW(dkey::nextInvoiceKey(kStem, 999999), KalvorError);
    EXPECT_EQ(dkey::nextPositionKey(key("00000100000000"), 999998), key("00000199999900"));
    EXPECT_THROW(dkey::nextPositionKey(key("00000100000000"), 999999), KalvorError);
    EXPECT_EQ(dkey::nextTransferKey(key("00000100000100"), 98), key("00000100000199"));
    try {
        dkey::nextTransferKey(key("00000100000100"), 99);
        FAIL() << "a 100th transfer was numbered";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(u"99")) << e.message().toStdString();
    }
    EXPECT_THROW(dkey::nextInvoiceKey(kStem, -1), KalvorError);
    EXPECT_THROW(dkey::nextInvoiceKey(kStem.left(17), 0), KalvorError);
    EXPECT_THROW(dkey::nextTransferKey(key("0000010000"), 0), KalvorError);
}

TEST(DeclarationKey, StemWidensATenDigitInn)
{
    EXPECT_EQ(dkey::stemFor(u"123456789012", u"201203"), QStringLiteral("123456789012120300"));
    EXPECT_EQ(dkey::stemFor(u"1234567890", u"201203"), QStringLiteral("123456789000120300"));
    // An 11-character value is read as a 10-digit INN; longer values are cut to 12.
    EXPECT_EQ(dkey::stemFor(u"12345678901", u"201112"), QStringLiteral("123456789000111200"));
    EXPECT_EQ(dkey::stemFor(u"1234567890123", u"201112"), QStringLiteral("123456789012111200"));
    EXPECT_THROW(dkey::stemFor(u"123456789", u"201203"), KalvorError);
    EXPECT_THROW(dkey::stemFor(u"1234567890", u"2012"), KalvorError);
}

TEST(DeclarationKey, PeriodRewriteTouchesOnlyYearAndMonth)
{
    EXPECT_EQ(dkey::withPeriod(key("00000500000302"), u"201304"),
        QStringLiteral("123456789000130400000005000003") + QStringLiteral("02"));
    EXPECT_EQ(dkey::withPeriod(u"123", u"201304"), QStringLiteral("123"));
}

TEST(DeclarationKey, MiddleComparisonsIgnoreTheStem)
{
    const QString other = QStringLiteral("999999999999111100");
    EXPECT_TRUE(dkey::sameInvoice(key("00000500000300"), other + QStringLiteral("00000500000000")));
    EXPECT_FALSE(dkey::sameInvoice(key("00000500000300"), key("00000600000300")));
    EXPECT_TRUE(dkey::samePosition(key("00000500000300"), other + QStringLiteral("00000500000302")));
    EXPECT_FALSE(dkey::samePosition(key("00000500000300"), key("00000500000400")));
    EXPECT_FALSE(dkey::sameInvoice(QStringView(u"123"), QStringView(u"123")));

    const std::string a = key("00000500000300").toStdString();
    const std::string b = (other + QStringLiteral("00000500000302")).toStdString();
    EXPECT_TRUE(dkey::samePosition(std::string_view(a), std::string_view(b)));
    EXPECT_FALSE(dkey::sameInvoice(std::string_view(a), std::string_view("short")));
}
