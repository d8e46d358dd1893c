#include "gui/DeclarationPeriodForm.h"
#include "gui/FirstStartDialogs.h"

#include "ModalDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;
using kalvor::gui::TDeclarationPeriodForm;
using kalvor::test::ModalDriver;

TEST(DeclarationPeriodFormTest, OffersTheMonthsAndYearsWithNothingChosen)
{
    TDeclarationPeriodForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создание новой декларации"));
    ASSERT_EQ(form.ComboBoxMonth->count(), 12);
    EXPECT_EQ(form.ComboBoxMonth->itemText(0), QStringLiteral("январь"));
    EXPECT_EQ(form.ComboBoxMonth->itemText(11), QStringLiteral("декабрь"));
    ASSERT_EQ(form.ComboBoxYear->count(), 11);
    EXPECT_EQ(form.ComboBoxYear->itemText(0), QStringLiteral("2006"));
    EXPECT_EQ(form.ComboBoxYear->itemText(10), QStringLiteral("2016"));
    EXPECT_EQ(form.monthIndex(), -1);
    EXPECT_EQ(form.yearIndex(), -1);
    EXPECT_EQ(form.ComboBoxMonth->currentText(), QString());
    EXPECT_EQ(form.ComboBoxMonth->placeholderText(), QStringLiteral("..."));
    EXPECT_TRUE(form.CheckBoxTransfer->isChecked());
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Создать"));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Отмена"));
}

TEST(DeclarationPeriodFormTest, FirstStartClosesOnlyWithMonthAndYear)
{
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
        EXPECT_FALSE(form.Button2->isEnabled());
        EXPECT_FALSE(form.CheckBoxTransfer->isEnabled());
        // Every way out is refused while a selector is empty.
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible());
        form.close();
        EXPECT_TRUE(form.isVisible());
        form.ComboBoxMonth->setCurrentIndex(2);
        QTest::keyClick(&form, Qt::Key_Return);
        EXPECT_TRUE(form.isVisible());
        // With both chosen only "Создать" leaves it: "Отмена" is disabled, so Escape stays refused.
        form.ComboBoxYear->setCurrentIndex(6);
        QTest::keyClick(&form, Qt::Key_Escape);
        EXPECT_TRUE(form.isVisible());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    });
    const PeriodChoice choice = gui::askFirstPeriod(nullptr);
    EXPECT_EQ(choice.monthIndex, 2);
    EXPECT_EQ(choice.yearIndex, 6);
}

TEST(DeclarationPeriodFormTest, NewPeriodCanBeCancelledAndReportsItsChoice)
{
    {
        TDeclarationPeriodForm form;
        form.setMode(TDeclarationPeriodForm::Mode::NewPeriod);
        ModalDriver driver([](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        EXPECT_EQ(form.exec(), QDialog::Rejected);
    }
    {
        TDeclarationPeriodForm form;
        form.setMode(TDeclarationPeriodForm::Mode::NewPeriod);
        ModalDriver driver([&](QDialog &) {
            EXPECT_TRUE(form.Button2->isEnabled());
            EXPECT_TRUE(form.CheckBoxTransfer->isEnabled());
            QTest::mouseClick(form.Button2, Qt::LeftButton);
        });
        EXPECT_EQ(form.exec(), QDialog::Rejected);
    }
    {
        TDeclarationPeriodForm form;
        form.setMode(TDeclarationPeriodForm::Mode::NewPeriod);
        ModalDriver driver([&](QDialog &) {
            form.ComboBoxMonth->setCurrentIndex(11);
            form.ComboBoxYear->setCurrentIndex(10);
            QTest::mouseClick(form.CheckBoxTransfer, Qt::LeftButton);
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        });
        ASSERT_EQ(form.exec(), QDialog::Accepted);
        EXPECT_EQ(form.monthIndex(), 11);
        EXPECT_EQ(form.yearIndex(), 10);
        EXPECT_FALSE(form.transferRemains());
    }
}
