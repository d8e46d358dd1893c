#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "store/Table.h"

#include "ModalDriver.h"

#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

using namespace kalvor;
using namespace kalvor::gui;

namespace {

FieldDef field(const char *name, const char *type, int width = 0, int decimals = 0)
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.typeName = type;
    def.kind = fieldKindOf(def.typeName);
    def.width = width;
    def.decimals = decimals;
    return def;
}

class DataBindingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        m_table.createEmpty({field("name", "string", 5), field("count", "i2"), field("price", "fixed", 10, 2),
                             field("day", "date"), field("kind", "i4")});
        for (const char *name : {"Вода", "Сок"}) {
            m_table.append();
            m_table.setString(u"name", QString::fromUtf8(name));
            m_table.post();
        }
        m_table.first();
    }

    // Typing and leaving the edit with Enter.
    static bool enter(BoundLineEdit &edit, const QString &text)
    {
        test::retype(&edit, text);
        return edit.commit();
    }

    Table m_table;
    DataBinding m_binding{m_table};
};

} // namespace

TEST_F(DataBindingTest, TypedValuesAreStoredInTheirColumnsForm)
{
    BoundLineEdit count(m_binding, QStringLiteral("count"));
    BoundLineEdit price(m_binding, QStringLiteral("price"));
    BoundDateEdit day(m_binding, QStringLiteral("day"));

    EXPECT_TRUE(enter(count, QStringLiteral("12")));
    EXPECT_TRUE(enter(price, QStringLiteral("12,5")));
    EXPECT_TRUE(enter(day, QStringLiteral("1.3.12")));
    EXPECT_EQ(m_table.state(), Table::State::Edit);
    EXPECT_EQ(m_table.currentRow().utf8(m_table.fieldIndex(u"price")), "12.50");
    EXPECT_EQ(m_table.asDate(u"day"), QDate(2012, 3, 1));
    // The edits show the stored values in the Russian forms.
    EXPECT_EQ(price.text(), QStringLiteral("12,50"));
    EXPECT_EQ(day.text(), QStringLiteral("01.03.2012"));
    m_table.post();
    EXPECT_EQ(m_table.asInteger(u"count"), 12);
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

TEST_F(DataBindingTest, ValuesTheColumnCannotHoldAreRefused)
{
    BoundLineEdit count(m_binding, QStringLiteral("count"));
    BoundDateEdit day(m_binding, QStringLiteral("day"));
    BoundLineEdit name(m_binding, QStringLiteral("name"));

    EXPECT_FALSE(enter(count, QStringLiteral("12а")));
    EXPECT_FALSE(enter(count, QStringLiteral("70000"))); // beyond a 16-bit column
    EXPECT_FALSE(enter(day, QStringLiteral("31.02.2012")));
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 3);
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).contains(QStringLiteral("целым числом")));
    // The field keeps its old value; the typed text stays for correcting.
    EXPECT_TRUE(m_table.isNull(u"count"));
    EXPECT_EQ(count.text(), QStringLiteral("70000"));
    EXPECT_FALSE(m_binding.commitAll());

    // The column's width limits typing.
    EXPECT_EQ(name.maxLength(), 5);
    test::retype(&name, QStringLiteral("Минеральная"));
    EXPECT_EQ(name.text(), QStringLiteral("Минер"));
}

TEST_F(DataBindingTest, ControlsFollowTheTableAndItsReadOnlyFields)
{
    BoundLineEdit name(m_binding, QStringLiteral("name"));
    BoundLabel label(m_binding, QStringLiteral("name"));
    EXPECT_EQ(name.text(), QStringLiteral("Вода"));
    m_table.next();
    EXPECT_EQ(name.text(), QStringLiteral("Сок"));
    EXPECT_EQ(label.text(), QStringLiteral("Сок"));

    // Untouched controls write nothing, so the table is not put into edit state.
    EXPECT_TRUE(m_binding.commitAll());
    EXPECT_EQ(m_table.state(), Table::State::Browse);

    // A cancelled edit shows the stored value again.
    EXPECT_TRUE(enter(name, QStringLiteral("Морс")));
    m_table.cancel();
    EXPECT_EQ(name.text(), QStringLiteral("Сок"));

    // Escape drops what was typed.
    test::retype(&name, QStringLiteral("Квас"));
    QTest::keyClick(&name, Qt::Key_Escape);
    EXPECT_EQ(name.text(), QStringLiteral("Сок"));

    m_table.setReadOnly(m_table.fieldIndex(u"name"), true);
    m_binding.refreshAll();
    EXPECT_TRUE(name.isReadOnly());
    test::typeText(&name, QStringLiteral("ы"));
    EXPECT_TRUE(m_binding.commitAll());
    EXPECT_EQ(m_table.asString(u"name"), QStringLiteral("Сок"));
}

TEST_F(DataBindingTest, LookupWritesTheKeyAndShowsTheName)
{
    Table kinds;
    kinds.createEmpty({field("code", "i4"), field("title", "string", 50)});
    for (const auto &[code, title] : {std::pair{200, "Водка"}, std::pair{401, "Пиво"}}) {
        kinds.append();
        kinds.setInteger(u"code", code);
        kinds.setString(u"title", QString::fromUtf8(title));
        kinds.post();
    }
    BoundLookupComboBox kind(m_binding, QStringLiteral("kind"), kinds, QStringLiteral("code"), QStringLiteral("title"));
    ASSERT_EQ(kind.count(), 2);
    EXPECT_EQ(kind.currentIndex(), -1);

    kind.setCurrentIndex(1);
    Q_EMIT kind.activated(1);
    EXPECT_EQ(m_table.asInteger(u"kind"), 401);

    // A choice made with the keys (the wheel becomes keys too) shows in every control bound to the
    // field, so writing them all back keeps it.
    BoundLineEdit kindCode(m_binding, QStringLiteral("kind"));
    EXPECT_EQ(kindCode.text(), QStringLiteral("401"));
    int keyedChoices = 0;
    QObject::connect(&kind, &BoundLookupComboBox::chosenWithoutList, &kind, [&keyedChoices] { ++keyedChoices; });
    QTest::keyClick(&kind, Qt::Key_Up);
    EXPECT_EQ(m_table.asInteger(u"kind"), 200);
    EXPECT_EQ(kindCode.text(), QStringLiteral("200"));
    EXPECT_EQ(keyedChoices, 1);
    EXPECT_TRUE(m_binding.commitAll());
    EXPECT_EQ(m_table.asInteger(u"kind"), 200);

    // Another row with a key the reference lacks shows no selection.
    m_table.post();
    m_table.next();
    m_table.edit();
    m_table.setInteger(u"kind", 999);
    m_table.post();
    EXPECT_EQ(kind.currentIndex(), -1);
    m_table.first();
    EXPECT_EQ(kind.currentText(), QStringLiteral("Водка"));
}

TEST(TabOrder, FollowsTheReadingOrderWhateverTheOrderOfMaking)
{
    QDialog dialog;
    auto *grid = new QGridLayout(&dialog);
    // Made bottom-right first; a group box's entries take their place in the reading order too.
    auto *last = new QLineEdit(&dialog);
    auto *group = new QGroupBox(QStringLiteral("Группа"), &dialog);
    auto *inGroup = new QLineEdit(group);
    (new QVBoxLayout(group))->addWidget(inGroup);
    auto *right = new QLineEdit(&dialog);
    auto *left = new QLineEdit(&dialog);
    auto *hidden = new QLineEdit(&dialog);
    hidden->hide();
    grid->addWidget(left, 0, 0);
    grid->addWidget(right, 0, 1);
    grid->addWidget(group, 1, 0, 1, 2);
    grid->addWidget(last, 2, 1);
    orderTabsWhenShown(&dialog);
    dialog.show();
    QList<QWidget *> chain;
    for (QWidget *w = left; chain.size() < 4; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus && w->isVisible())
            chain.append(w);
    EXPECT_EQ(chain, (QList<QWidget *>{left, right, inGroup, last}));
}
