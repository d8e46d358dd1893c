#include "ModalDriver.h"

#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "app/Startup.h"
#include "gui/MaintenanceCommands.h"
#include "gui/common/MessageBoxes.h"
#include "gui/maintenance/DivideForm.h"
#include "maintenance/Backup.h"
#include "support/TempDir.h"

#include <QAction>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

struct Fixture {
    TempDir dir;
    TAppSettings settings;
    QWidget window;
    QStringList calls; // the order in which views are closed, reopened and messages shown
    MaintenanceCommands commands;
    MaintenanceCommands::Actions actions;

    Fixture()
        : commands(settings, &window, [this] { calls << QStringLiteral("close"); },
                   [this] { calls << QStringLiteral("reopen"); })
    {
        createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        openConfiguration(settings, dir.path() + u'/');
        runNormalStart(settings);
        actions = commands.createActions(&window);
        MessageBoxes::clearShownTexts();
        MessageBoxes::setAnswerAutomatically(true);
    }
    ~Fixture() { MessageBoxes::setAnswerAutomatically(true); }
};

} // namespace

TEST(MaintenanceCommands, ActionsCarryTheirCaptionsNamesAndVisibility)
{
    Fixture f;
    QStringList service;
    for (QAction *a : f.actions.service)
        service << a->objectName() + u':' + a->text() + u':' + QString::number(a->isVisible());
    EXPECT_EQ(service, (QStringList{QStringLiteral("ReduceLogParam:Уменьшить файл отчета:1"),
                                    QStringLiteral("ClearLines:Удалить \"пустые\" данные:1"),
                                    QStringLiteral("dkey1:Исправление dkey:0"),
                                    QStringLiteral("N38:Разделить файл отчета:0"), QStringLiteral("N39:Разделение:0")}));
    QStringList reports;
    for (QAction *a : f.actions.reports)
        reports << a->objectName() + u':' + a->text() + u':' + QString::number(a->isVisible());
    EXPECT_EQ(reports, (QStringList{
                           QStringLiteral("ConvertKindProductionAction:Конвертировать виды продукции:1"),
                           QStringLiteral("N20:Перерасчет цены и суммы закупки, кол-во тары:0"),
                           QStringLiteral("N21:Заполнить регион (по производителю) - авто, 95%:0"),
                           QStringLiteral("N1001:Удалить все коды и кол-во внутр. перемещений - авто, 100%:0")}));

    QToolButton *convert = f.commands.createSpeedButton16(&f.window);
    QPushButton *waybills = f.commands.createButtonChNakl(&f.window);
    EXPECT_EQ(convert->objectName(), QStringLiteral("SpeedButton16"));
    EXPECT_EQ(convert->text(), QStringLiteral("Конвертировать"));
    EXPECT_EQ(waybills->text(), QStringLiteral("Замена №накладной"));
    EXPECT_TRUE(convert->isHidden() && waybills->isHidden());

    // Every period switch decides the conversion's enabling from the period's flag.
    f.commands.periodChanged(true);
    EXPECT_FALSE(f.commands.ConvertKindProductionAction()->isEnabled());
    EXPECT_FALSE(convert->isEnabled());
    EXPECT_EQ(convert->text(), QStringLiteral("Конвертировать"));
    f.commands.periodChanged(false);
    EXPECT_TRUE(convert->isEnabled());
}

TEST(MaintenanceCommands, RewritesCloseAndReopenTheViewsAndShowTheirMessage)
{
    Fixture f;
    f.commands.ReduceLogParamExecute();
    f.commands.ConvertKindProductionActionExecute();
    EXPECT_EQ(f.calls, (QStringList{QStringLiteral("close"), QStringLiteral("reopen"), QStringLiteral("close"),
                                    QStringLiteral("reopen")}));
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 2);
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).startsWith(QStringLiteral("Размер файла уменьшен на ")));
    EXPECT_TRUE(MessageBoxes::shownTexts().at(1).startsWith(QStringLiteral("Количество замен: ")));
    EXPECT_FALSE(f.commands.ConvertKindProductionAction()->isEnabled());
    EXPECT_EQ(maintenance::backupsOf(f.settings.FcurDir, f.settings.FDeclarationFileName).size(), 2);

    // A failure still brings the views back and shows its text.
    QFile::remove(f.settings.FDeclarationFileName);
    f.calls.clear();
    f.commands.dkey1Click();
    EXPECT_EQ(f.calls, (QStringList{QStringLiteral("close"), QStringLiteral("reopen")}));
    EXPECT_TRUE(MessageBoxes::shownTexts().last().contains(f.settings.FDeclarationFileName));
}

TEST(DivideForm, LoadSplitAndSaveBothHalvesThroughItsButtons)
{
    Fixture f;
    f.commands.setDialogRunner([](QDialog &dialog) {
        auto &form = static_cast<TDivideForm &>(dialog);
        form.Button1->click();
        form.Button3->click();
        form.Button4->click();
        form.Button5->click();
    });
    f.commands.N38Click();
    TDivideForm &form = f.commands.divideForm();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Разделение отчета на части"));
    const auto &source = TDivideForm::rowsOf(form.DataSG);
    const auto invoices = TDivideForm::rowsOf(form.TTNSG).size();
    EXPECT_GT(invoices, 1);
    EXPECT_EQ(TDivideForm::rowsOf(form.OneSG).size(), invoices / 2);
    EXPECT_EQ(TDivideForm::rowsOf(form.OneSG).size() + TDivideForm::rowsOf(form.TwoSG).size(), invoices);
    EXPECT_EQ(TDivideForm::rowsOf(form.ItogSG1).size() + TDivideForm::rowsOf(form.ItogSG2).size() + invoices,
              source.size());
    EXPECT_EQ(form.Gauge1->value(), form.Gauge1->maximum());
    EXPECT_EQ(MessageBoxes::shownTexts(), (QStringList{QStringLiteral("Выгружено в \\divide\\data.txt"),
                                                       QStringLiteral("1 Выгружено"), QStringLiteral("2 Выгружено")}));
    const QString stem = f.dir.path() + QStringLiteral("/divide/") + f.settings.FINNYYMMCC;
    EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral("(1).xml")));
    EXPECT_TRUE(QFileInfo::exists(stem + QStringLiteral("(2).xml")));
    EXPECT_TRUE(f.calls.isEmpty()); // loading only reads the declaration

    // "Разделение" shows what the window holds; loading the saved source gives the same grid.
    const auto saved = source;
    f.commands.setDialogRunner([](QDialog &dialog) {
        auto &form = static_cast<TDivideForm &>(dialog);
        form.setSourceRows({});
        form.Button2->click();
    });
    f.commands.N39Click();
    EXPECT_EQ(TDivideForm::rowsOf(form.DataSG), saved);
}
