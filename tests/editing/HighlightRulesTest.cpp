#include "editing/HighlightRules.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// One table over a few rows; each test reads row(i) of it.
class HighlightRulesTest : public ::testing::Test {
protected:
    void load(const QList<QByteArray> &rows)
    {
        m_table.setFileName(writeDeclaration(m_dir.path(), QStringLiteral("d.xml"), rows));
        m_table.open();
    }
    RowView row(int i) const { return m_table.row(i); }

    TempDir m_dir;
    Table m_table;
    HighlightOptions m_all;
};

const QByteArray kFullPosition = "production_name=\"Водка\" production_number=\"01.02.2012\" producer_name=\"ЗАО\" "
                                 "region_code=\"71\" department_code=\"1\" ";

} // namespace

TEST_F(HighlightRulesTest, KindCodeOutsideOneToEightOrMissingIsHighlighted)
{
    load({"dkey=\"" + declarationKey(1, 1) + "\" production_code=\"0\" rest=\"1.000\" " + kFullPosition,
          "dkey=\"" + declarationKey(1, 2) + "\" production_code=\"1\" rest=\"1.000\" " + kFullPosition,
          "dkey=\"" + declarationKey(1, 3) + "\" production_code=\"8\" rest=\"1.000\" " + kFullPosition,
          "dkey=\"" + declarationKey(1, 4) + "\" production_code=\"9\" rest=\"1.000\" " + kFullPosition,
          "dkey=\"" + declarationKey(1, 5) + "\" rest=\"1.000\" " + kFullPosition});
    const std::vector<bool> expected{true, false, false, true, true};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(highlightProductionCell(row(i), u"production_code", m_all), expected[static_cast<std::size_t>(i)]) << i;
    // Only the empty-field rule is left for a missing code; with both off nothing is coloured.
    HighlightOptions noCodeCheck = m_all;
    noCodeCheck.Chk_Production_Code = false;
    EXPECT_FALSE(highlightProductionCell(row(3), u"production_code", noCodeCheck));
    EXPECT_TRUE(highlightProductionCell(row(4), u"production_code", noCodeCheck));
    noCodeCheck.Chk_empty = false;
    EXPECT_FALSE(highlightProductionCell(row(4), u"production_code", noCodeCheck));
    // Other columns of a good row stay plain.
    EXPECT_FALSE(highlightProductionCell(row(1), u"production_name", m_all));
}

TEST_F(HighlightRulesTest, RemainsBelowZeroOrEmptyAreHighlightedInPositionsAndTransfers)
{
    load({"dkey=\"" + declarationKey(1, 1) + "\" production_code=\"1\" rest=\"-0.001\" " + kFullPosition,
          "dkey=\"" + declarationKey(1, 1, 1) + "\" rest=\"0.000\" other_coming=\"1.000\" department_code=\"1\" "
                                               "department_code_inner=\"2\"",
          "dkey=\"" + declarationKey(1, 1, 2) + "\" other_coming=\"1.000\" department_code=\"1\""});
    EXPECT_TRUE(highlightProductionCell(row(0), u"rest", m_all));
    EXPECT_FALSE(highlightTransferCell(row(1), u"rest", m_all)); // zero is fine
    EXPECT_TRUE(highlightTransferCell(row(2), u"rest", m_all));
    EXPECT_TRUE(highlightTransferCell(row(2), u"department_code_inner", m_all));
    EXPECT_FALSE(highlightTransferCell(row(2), u"other_coming", m_all));
    HighlightOptions restOnly = m_all;
    restOnly.Chk_empty = false;
    EXPECT_TRUE(highlightTransferCell(row(2), u"rest", restOnly));
    EXPECT_FALSE(highlightTransferCell(row(2), u"department_code_inner", restOnly));
}

TEST_F(HighlightRulesTest, WaybillDateAfterTheDeclarationMonthOrMissingIsHighlighted)
{
    const QByteArray invoice = "supply_name=\"ООО\" license=\"А 1\" license_date=\"20110101\" ttn_numer=\"12\" "
                               "loading_address=\"Тула\" ";
    load({"dkey=\"" + declarationKey(1) + "\" " + invoice + "ttn_date=\"20120331\"",
          "dkey=\"" + declarationKey(2) + "\" " + invoice + "ttn_date=\"20120401\"",
          "dkey=\"" + declarationKey(3) + "\" " + invoice + "ttn_date=\"20130115\"",
          "dkey=\"" + declarationKey(4) + "\" " + invoice + "ttn_date=\"20111231\"",
          "dkey=\"" + declarationKey(5) + "\" " + invoice});
    const DeclarationMonth march2012{2012, 3};
    const std::vector<bool> expected{false, true, true, false, true};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(highlightInvoiceCell(row(i), u"ttn_date", m_all, march2012), expected[static_cast<std::size_t>(i)]) << i;
    // A year selector that cannot be read leaves dated cells plain; an empty date is still empty.
    const DeclarationMonth unknown{std::nullopt, 3};
    EXPECT_FALSE(highlightInvoiceCell(row(1), u"ttn_date", m_all, unknown));
    EXPECT_TRUE(highlightInvoiceCell(row(4), u"ttn_date", m_all, unknown));
    EXPECT_FALSE(highlightInvoiceCell(row(0), u"supply_name", m_all, march2012));
}

TEST_F(HighlightRulesTest, TheMasterSwitchTurnsEveryRuleOff)
{
    load({"dkey=\"" + declarationKey(1) + "\"", "dkey=\"" + declarationKey(1, 1) + "\" rest=\"-5.000\"",
          "dkey=\"" + declarationKey(1, 1, 1) + "\""});
    HighlightOptions off = m_all;
    off.CheckErrors = false;
    for (QStringView column : {u"supply_name", u"ttn_date", u"license"}) {
        EXPECT_TRUE(highlightInvoiceCell(row(0), column, m_all, {2012, 3}));
        EXPECT_FALSE(highlightInvoiceCell(row(0), column, off, {2012, 3}));
    }
    for (QStringView column : {u"rest", u"production_code", u"producer_name"}) {
        EXPECT_TRUE(highlightProductionCell(row(1), column, m_all));
        EXPECT_FALSE(highlightProductionCell(row(1), column, off));
    }
    EXPECT_FALSE(highlightTransferCell(row(2), u"rest", off));
    // The options the grids do not use change nothing.
    HighlightOptions priceChecksOff = m_all;
    priceChecksOff.Chk_vodka = priceChecksOff.Chk_Koniyak = false;
    EXPECT_TRUE(highlightProductionCell(row(1), u"rest", priceChecksOff));
}
