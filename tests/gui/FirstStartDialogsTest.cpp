#include "gui/EssentialForm.h"
#include "gui/FirstStartDialogs.h"
#include "app/Startup.h"
#include "app/Workspace.h"
#include "gui/common/DataBinding.h"

#include "ModalDriver.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

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
    const StartupResult result = runFirstStart(settings, PeriodChoice{2, 6}, gui::requisitesEditorDialog(nullptr));
    EXPECT_EQ(result.requisitesLine, QStringLiteral("ООО Ромашка, ИНН 1234567890, г. Тула, А 123, 31.12.2012"));
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("123456789000120300"));
    EXPECT_TRUE(QFileInfo::exists(curDir + QStringLiteral("reports/201203/123456789000120300d.xml")));
}
