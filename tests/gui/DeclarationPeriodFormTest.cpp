#include "gui/DeclarationPeriodForm.h"
#include "gui/FirstStartDialogs.h"
#include "gui/common/PeriodSelectors.h"

#include "ModalDriver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;
using kalvor::gui::selectYear;
using kalvor::gui::TDeclarationPeriodForm;
using kalvor::test::ModalDriver;

TEST(DeclarationPeriodFormTest, OffersTheMonthsAndYearsWithNothingChosen)
{
    // The years run to next year, so that the coming month can be started; a configured year beyond joins.
    const int next = QDate::currentDate().year() + 1;
    TDeclarationPeriodForm form(nullptr, next + 5 - 2000);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Создание новой декларации"));
    ASSERT_EQ(form.ComboBoxMonth->count(), 12);
    EXPECT_EQ(form.ComboBoxMonth->itemText(0), QStringLiteral("январь"));
    EXPECT_EQ(form.ComboBoxMonth->itemText(11), QStringLiteral("декабрь"));
    const int count = form.ComboBoxYear->count();
    ASSERT_EQ(count, next - 2006 + 2);
    EXPECT_EQ(form.ComboBoxYear->itemText(0), QStringLiteral("2006"));
    EXPECT_EQ(form.ComboBoxYear->itemText(count - 2), QString::number(next));
    EXPECT_EQ(form.ComboBoxYear->itemText(count - 1), QString::number(next + 5));
    // Typed text could not be one of the periods.
    EXPECT_FALSE(form.ComboBoxYear->isEditable());
    EXPECT_FALSE(form.ComboBoxMonth->isEditable());
    EXPECT_EQ(form.monthIndex(), -1);
    EXPECT_EQ(form.year(), -1);
    EXPECT_EQ(form.ComboBoxMonth->currentText(), QString());
    EXPECT_EQ(form.ComboBoxMonth->placeholderText(), QStringLiteral("..."));
    EXPECT_TRUE(form.CheckBoxTransfer->isChecked());
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Создать"));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Отмена"));
}

TEST(DeclarationPeriodFormTest, FirstStartCreatesOnlyWithMonthAndYearButCanBeLeft)
{
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
            EXPECT_FALSE(form.Button2->isEnabled());
            EXPECT_FALSE(form.CheckBoxTransfer->isEnabled());
            // "Создать" and Enter wait for both selectors.
            QTest::mouseClick(form.Button1, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            form.ComboBoxMonth->setCurrentIndex(2);
            QTest::keyClick(&form, Qt::Key_Return);
            EXPECT_TRUE(form.isVisible());
            selectYear(form.ComboBoxYear, 12);
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        });
        const PeriodChoice choice = gui::askFirstPeriod(nullptr);
        EXPECT_EQ(choice.month, 3);
        EXPECT_EQ(choice.year, 12);
    }
    // Escape (or the close box) leaves with nothing chosen, even after a choice.
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
        form.ComboBoxMonth->setCurrentIndex(2);
        QTest::keyClick(&form, Qt::Key_Escape);
    });
    EXPECT_FALSE(gui::askFirstPeriod(nullptr).complete());
}

TEST(DeclarationPeriodFormTest, NewPeriodCanBeCancelledAndReportsItsChoice)
{
    const int next = QDate::currentDate().year() + 1;
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
        // A preset year beyond the list joins it.
        form.setPeriod(next + 1 - 2000, 1);
        EXPECT_EQ(form.choice().month, 1);
        EXPECT_EQ(form.choice().year, next + 1 - 2000);
        ModalDriver driver([&](QDialog &) {
            form.ComboBoxMonth->setCurrentIndex(11);
            selectYear(form.ComboBoxYear, 16);
            QTest::mouseClick(form.CheckBoxTransfer, Qt::LeftButton);
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        });
        ASSERT_EQ(form.exec(), QDialog::Accepted);
        EXPECT_EQ(form.monthIndex(), 11);
        EXPECT_EQ(form.year(), 16);
        EXPECT_FALSE(form.transferRemains());
    }
}
