#include "gui/DeclarationPeriodForm.h"
#include "gui/EssentialForm.h"
#include "gui/FirstStartDialogs.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/PeriodSelectors.h"
#include "app/Startup.h"
#include "app/Workspace.h"
#include "gui/common/DataBinding.h"

#include "ModalDriver.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;

// The first start as the main window runs it: the requisites typed into the dialog become the period's files.
TEST(FirstStartDialogsTest, RequisitesTypedInTheDialogMakeThePeriod)
{
    test::TempDir dir;
    const QString curDir = dir.path() + u'/';
    seedWorkspace(curDir, QStringLiteral(KALVOR_SOURCE_SHARE_DIR));
    TAppSettings settings;
    openConfiguration(settings, curDir);

    test::ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<gui::TEssentialForm &>(dialog);
        const std::pair<QWidget *, const char *> values[] = {
            {form.organization_name, "ООО Ромашка"}, {form.dkey, "1234567890"}, {form.low_address, "г. Тула"},
            {form.post_address, "г. Тула, ул. Ленина, 1"}, {form.department_count, "2"},
            {form.license_serial, "А"}, {form.license_number, "123"}, {form.license_date, "01.01.2010"},
            {form.license_deadline, "31.12.2012"}, {form.name_leader, "Иванов И. И."},
            {form.name_counter, "Петрова А. С."},
        };
        for (const auto &[edit, text] : values)
            test::typeText(edit, QString::fromUtf8(text));
        QTest::mouseClick(form.Save, Qt::LeftButton);
    });
    const std::optional<StartupResult> result =
        runFirstStart(settings, PeriodChoice{3, 12}, gui::requisitesEditorDialog(nullptr));
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->requisitesLine, QStringLiteral("ООО Ромашка, ИНН 1234567890, г. Тула, А 123, 31.12.2012"));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000120300"));
    EXPECT_TRUE(QFileInfo::exists(curDir + QStringLiteral("reports/201203/123456789000120300d.xml")));
}

// Leaving a first-start dialog writes nothing and ends the program with a word why; the next start asks again.
TEST(FirstStartDialogsTest, LeavingTheRequisitesDialogWritesNothingAndEndsTheProgram)
{
    test::TempDir dir;
    seedWorkspace(dir.path() + u'/', QStringLiteral(KALVOR_SOURCE_SHARE_DIR));
    gui::MessageBoxes::clearShownTexts();
    std::unique_ptr<test::ModalDriver> requisites;
    test::ModalDriver period([&requisites](QDialog &dialog) {
        auto &form = static_cast<gui::TDeclarationPeriodForm &>(dialog);
        form.ComboBoxMonth->setCurrentIndex(2);
        gui::selectYear(form.ComboBoxYear, 12);
        requisites = std::make_unique<test::ModalDriver>([](QDialog &essential) {
            EXPECT_FALSE(static_cast<gui::TEssentialForm &>(essential).Cancel->isEnabled());
            QTest::keyClick(&essential, Qt::Key_Escape);
        });
        form.Button1->click();
    });
    gui::TMainForm window(QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()}, dir.path());
    window.FormCreate();
    EXPECT_TRUE(window.setupDeclined());
    EXPECT_EQ(gui::MessageBoxes::shownTexts(), QStringList{QString::fromUtf8(kSetupDeclinedMessage)});
    EXPECT_TRUE(IniFile(dir.file(QStringLiteral("tamrel.ini"))).keys(QStringLiteral("last_period")).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("reports/201203"))));
    gui::MessageBoxes::clearShownTexts();
}
