#include "ModalDriver.h"

#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/sheets/ReportErrorSettingForm.h"
#include "gui/sheets/SheetCommands.h"
#include "gui/sheets/ToExcelForm.h"
#include "sheets/XlsxWorkbook.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// The demo workspace (March 2012 open) in a main window whose workbooks go to a recorder.
class SheetCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()}, QString());
        window->FormCreate();
        window->sheetCommands()->setWorkbookOpener([this](const QString &path) {
            opened.append(path);
            return openerWorks;
        });
        MessageBoxes::clearShownTexts();
    }

    QString ini(const char *section, const char *key) const
    {
        return IniFile(dir.file(QStringLiteral("tamrel.ini")))
            .readString(QString::fromLatin1(section), QString::fromLatin1(key));
    }

    TempDir dir;
    std::unique_ptr<TMainForm> window;
    QStringList opened;
    bool openerWorks = true;
};

} // namespace

TEST_F(SheetCommandsTest, ExportOpensTheWorkbookBesideOneStillOpenAndKeepsThePeriodTotals)
{
    auto *button = window->findChild<QToolButton *>(QStringLiteral("SpeedButton13"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Экспортировать в MS Excel"));
    EXPECT_TRUE(button->isVisibleTo(window.get()));
    auto *checks = window->findChild<QToolButton *>(QStringLiteral("SpeedButton21"));
    ASSERT_NE(checks, nullptr);
    EXPECT_EQ(checks->toolTip(), QStringLiteral("Проверка отчета"));
    EXPECT_FALSE(checks->isVisibleTo(window.get()));

    // An earlier export still open in an office program keeps its file.
    dir.write(QStringLiteral("temp/.~lock.tamrel.xlsx#"), "locked");
    window->sheetCommands()->ExportToXLSAction->trigger();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], dir.file(QStringLiteral("temp/tamrel (2).xlsx")));
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(opened[0]).sheet();
    EXPECT_EQ(sheet.textAt(9, 17), QStringLiteral("за март 2012 года"));
    EXPECT_FALSE(ini("201203", "rest").isEmpty());
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();

    // Nothing to open .xlsx with: the user is told where the workbook is.
    openerWorks = false;
    window->sheetCommands()->ExportToXLSAction->trigger();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts()[0].contains(opened.last())) << MessageBoxes::shownTexts()[0].toStdString();
}

TEST_F(SheetCommandsTest, CancelledExportHandsOverWhatWasWrittenWithoutTotals)
{
    sheets::SheetExportPlan plan = sheets::planSheetExport(*window->AppSettings, QStringLiteral("tamrel.xlsx"));
    TToExcelForm form(plan, window.get());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Выгрузка в Excel"));
    form.terminateThread = true; // as if "Отмена" was pressed before the first row was done
    form.exec();
    EXPECT_TRUE(form.errorMessage().isEmpty()) << form.errorMessage().toStdString();
    EXPECT_FALSE(form.complete());
    ASSERT_FALSE(form.workbook().isEmpty());
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(form.workbook()).sheet();
    EXPECT_FALSE(sheet.textAt(32, 3).isEmpty());
    EXPECT_TRUE(sheet.textAt(33, 2).isEmpty());
}

TEST_F(SheetCommandsTest, SettingsSetTheMainWindowsHighlightingAndRunTheReport)
{
    window->Chk_rest = false;
    ModalDriver keep([](QDialog &dialog) {
        auto &form = static_cast<TReportErrorSettingForm &>(dialog);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Настройки"));
        EXPECT_FALSE(form.Chk_rest->isChecked());
        EXPECT_TRUE(form.CheckErrors->isChecked());
        EXPECT_EQ(form.Edit_Vodka->text(), QStringLiteral("85,5"));
        EXPECT_EQ(form.Edit_Koniyak->text(), QStringLiteral("167"));
        // Only digits, the comma and backspace reach the edits.
        form.Edit_RecCount->clear();
        typeText(form.Edit_RecCount, QStringLiteral("1a2,;3"));
        EXPECT_EQ(form.Edit_RecCount->text(), QStringLiteral("12,3"));
        form.CheckErrors->setChecked(false);
        form.Chk_rest->setChecked(true);
        form.BitBtn1->click();
    });
    window->sheetCommands()->ReportErrorSetting->trigger();
    EXPECT_FALSE(window->CheckErrors);
    EXPECT_TRUE(window->Chk_rest);
    EXPECT_TRUE(opened.isEmpty());

    ModalDriver report([](QDialog &dialog) {
        auto &form = static_cast<TReportErrorSettingForm &>(dialog);
        EXPECT_FALSE(form.CheckErrors->isChecked());
        form.Edit_RecCount->setText(QStringLiteral("0"));
        form.Btn_Ok->click();
        EXPECT_TRUE(form.isVisible());
        form.Edit_RecCount->setText(QStringLiteral("50"));
        form.Edit_Vodka->setText(QStringLiteral(","));
        form.Btn_Ok->click();
        EXPECT_TRUE(form.isVisible());
        form.Edit_Vodka->setText(QStringLiteral("90"));
        form.Btn_Ok->click();
    });
    window->sheetCommands()->ReportErrorSetting->trigger();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 2);
    EXPECT_EQ(MessageBoxes::shownTexts()[0], QStringLiteral("Максимальное количество записей некорректно!"));
    EXPECT_TRUE(MessageBoxes::shownTexts()[1].contains(QStringLiteral("«Водка <»")));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], dir.file(QStringLiteral("temp/tamrelError.xlsx")));
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(opened[0]).sheet();
    EXPECT_TRUE(sheet.textAt(7, 17).startsWith(QStringLiteral("ОТЧЕТ")));
}
