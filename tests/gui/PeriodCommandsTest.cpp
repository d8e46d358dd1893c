#include "ModalDriver.h"

#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "app/Startup.h"
#include "gui/DeclarationPeriodForm.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/PeriodSelectors.h"
#include "gui/period/DialogForm.h"
#include "gui/period/GetFolderDialog.h"
#include "gui/period/NextMonthCommands.h"
#include "gui/period/OutsideReportNotice.h"
#include "gui/period/PeriodCommands.h"
#include "gui/period/TransferRemainsForm.h"
#include "period/CarryOver.h"
#include "store/DeclarationKey.h"
#include "store/Table.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// The demo workspace (February and March 2012, March open) in a main window.
class PeriodCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()}, QString());
        window->FormCreate();
        MessageBoxes::clearShownTexts();
    }
    void TearDown() override
    {
        // Every gui test runs with self-answering boxes; a test that turns them off turns them on again.
        MessageBoxes::setAnswerAutomatically(true);
        setFolderChooser({});
    }

    PeriodCommands &commands() { return *window->periodCommands(); }

    // Chooses the period in the dialog and presses "Создать".
    static ModalDriver::Action choose(int monthIndex, int year, bool transfer = true)
    {
        return [=](QDialog &dialog) {
            auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
            form.ComboBoxMonth->setCurrentIndex(monthIndex);
            selectYear(form.ComboBoxYear, year);
            form.CheckBoxTransfer->setChecked(transfer);
            form.Button1->click();
        };
    }

    QString configured() const
    {
        return IniFile(dir.file(QStringLiteral("tamrel.ini"))).readString(config::kLastPeriod, config::kPeriod);
    }

    TempDir dir;
    std::unique_ptr<TMainForm> window;
};

TEST_F(PeriodCommandsTest, ButtonsAndMenuItemsArePlaced)
{
    const auto hint = [this](const char *name) {
        auto *b = window->findChild<QToolButton *>(QString::fromLatin1(name));
        return b ? b->toolTip() + u'|' + QString::number(b->isVisibleTo(window.get())) : QString();
    };
    EXPECT_EQ(hint("SpeedButton1"), QStringLiteral("Создать отчет и загрузить остатки|1"));
    EXPECT_EQ(hint("SpeedButton11"), QStringLiteral("Добавить/заменить отчет|1"));
    EXPECT_EQ(hint("SpeedButtonExport"), QStringLiteral("Выгрузка в файлы|1"));
    EXPECT_EQ(hint("SpeedButton10"), QStringLiteral("Загрузить декларацию|1"));
    EXPECT_EQ(window->findChild<QToolButton *>(QStringLiteral("SpeedButton10"))->text(),
              QStringLiteral("Загрузить из файла"));
    EXPECT_EQ(hint("SpeedButton17"), QStringLiteral("-> в текст|0"));
    EXPECT_EQ(hint("BtnDelErrors"), QStringLiteral("Удалить|0"));

    QMenu *service = nullptr;
    for (QAction *menu : window->menuBar()->actions())
        if (menu->text() == u"Сервис")
            service = menu->menu();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->actions().at(0)->text(), QStringLiteral("Выгрузить в файлы"));
    EXPECT_EQ(service->actions().at(1)->text(), QStringLiteral("Выгрузить в Excel"));
    EXPECT_EQ(service->actions().at(2)->text(), QStringLiteral("Выгрузить в Calc"));
    EXPECT_EQ(service->actions().at(3)->text(), QStringLiteral("Обновить остатки следующего месяца"));
    EXPECT_TRUE(service->actions().at(4)->isSeparator());
    EXPECT_FALSE(commands().N18->isVisible());
}

TEST_F(PeriodCommandsTest, NewMonthIsCarriedOverBehindTheProgressWindow)
{
    {
        // The month after the open March is chosen already: "Создать" alone starts April 2012.
        ModalDriver driver([](QDialog &dialog) {
            auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
            EXPECT_EQ(form.ComboBoxMonth->currentText(), QStringLiteral("апрель"));
            EXPECT_EQ(form.ComboBoxYear->currentText(), QStringLiteral("2012"));
            form.Button1->click();
        });
        commands().LoadAccountActionExecute();
    }
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201204"));
    EXPECT_EQ(configured(), QStringLiteral("201204"));
    EXPECT_EQ(window->ComboBoxMonth->currentIndex(), 3);
    EXPECT_EQ(window->ComboBoxYear->currentText(), QStringLiteral("2012"));
    EXPECT_TRUE(window->Views.isOpen());
    EXPECT_GT(window->Views.ClientDataSetInvoice.recordCount(), 0);
    EXPECT_EQ(window->Views.ClientDataSetInvoice.asString(u"dkey").mid(12, 4), QStringLiteral("1204"));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();
}

TEST_F(PeriodCommandsTest, ProgressWindowCountsRowsAndClosesItself)
{
    period::CarryOverPlan plan = period::planCarryOver(*window->AppSettings, 12, 4, true);
    TTransferRemainsForm form(*window->AppSettings, plan, window.get());
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(form.succeeded());
    EXPECT_EQ(form.Procent->text(), QString::number(form.summary().rowsRead));
    EXPECT_EQ(form.Current->text(), form.Procent->text());
    EXPECT_EQ(form.ProgressBarTotal->value(), form.ProgressBarTotal->maximum());
    // Nothing is installed by the window: the open period is still March.
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201203"));

    // A failure on the worker closes the window too and is held for the command to report.
    QFile broken(plan.previousTable);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a data packet");
    broken.close();
    TTransferRemainsForm failing(*window->AppSettings, plan, window.get());
    EXPECT_EQ(failing.exec(), QDialog::Rejected);
    EXPECT_FALSE(failing.succeeded());
    EXPECT_TRUE(failing.errorMessage().startsWith(QStringLiteral("error in RemainsThread.TransferRemains")));
}

TEST_F(PeriodCommandsTest, CurrentPeriodAndCancelChangeNothing)
{
    {
        ModalDriver driver(choose(2, 12)); // March 2012, the open one
        commands().LoadAccountActionExecute();
    }
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Выбранный период является текущим.")});
    {
        ModalDriver driver([](QDialog &dialog) { static_cast<TDeclarationPeriodForm &>(dialog).Button2->click(); });
        commands().LoadAccountActionExecute();
    }
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201203"));
    EXPECT_EQ(configured(), QStringLiteral("201203"));
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("reports/201204"))));
}

TEST_F(PeriodCommandsTest, IncompleteChoiceKeepsTheDialogOpen)
{
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TDeclarationPeriodForm &>(dialog);
        form.ComboBoxYear->setCurrentIndex(-1);
        form.Button1->click(); // no year: stays open
        EXPECT_TRUE(form.isVisible());
        form.Button2->click();
    });
    commands().LoadAccountActionExecute();
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201203"));
}

TEST_F(PeriodCommandsTest, ExistingMonthIsReplacedOnlyWhenTheUserAgrees)
{
    // February exists: carrying January (absent) into it would replace its table.
    const QString february = window->AppSettings->FcurDir + QStringLiteral("reports/201202");
    const QStringList before = QDir(february).entryList(QDir::Files);
    const QByteArray table = test::readAll(QDir(february).filePath(before.value(0)));
    {
        // Every box answers with its default button, as Enter would.
        ModalDriver driver(choose(1, 12));
        commands().LoadAccountActionExecute();
    }
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201203"));
    // The checks come first; the question says what a replacement would put aside.
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 2);
    EXPECT_EQ(MessageBoxes::shownTexts().at(0), QStringLiteral("Данных за прошлый месяц не обнаружено."));
    EXPECT_TRUE(MessageBoxes::shownTexts().at(1).startsWith(QStringLiteral("Декларация за февраль 2012 уже есть, строк в ней: ")))
        << MessageBoxes::shownTexts().at(1).toStdString();
    EXPECT_EQ(QDir(february).entryList(QDir::Files), before);
    EXPECT_EQ(test::readAll(QDir(february).filePath(before.value(0))), table);
}

TEST_F(PeriodCommandsTest, LoadingAHandedInFolderSwitchesToItAndVerifies)
{
    // Hand March out into a folder, then load it back as the operator would.
    TempDir out;
    setFolderChooser([&](QWidget *, const QString &caption, QString &folder) {
        EXPECT_EQ(caption, QStringLiteral("Выберете папку куда выгрузить отчет"));
        folder = out.path();
        return true;
    });
    commands().ExportToXMLActionExecute();
    const QString handed = out.file(QStringLiteral("201203"));
    EXPECT_EQ(QDir(handed).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(MessageBoxes::shownTexts().value(0),
              QStringLiteral("Файлы отчета выгружены в папку ") + QDir::toNativeSeparators(handed));

    setFolderChooser([&](QWidget *, const QString &caption, QString &folder) {
        EXPECT_EQ(caption, QStringLiteral("Выберете папку с отчетом"));
        folder = handed;
        return true;
    });
    MessageBoxes::clearShownTexts();
    {
        // Loading ends with the completeness report; its period dialog is left with "Отмена".
        ModalDriver driver([](QDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Сформировать отчет за период"));
            dialog.reject();
        });
        commands().ImportToDBActionExecute();
    }
    EXPECT_EQ(window->AppSettings->FDeclarationFileName.left(handed.size()), handed);
    EXPECT_EQ(MessageBoxes::shownTexts().value(MessageBoxes::shownTexts().size() - 1),
              QStringLiteral("Верификация завершена успешно."));
    EXPECT_FALSE(window->Essential->text().isEmpty());
    EXPECT_TRUE(window->Views.isOpen());
    // The chooser starts there next time; the configured period stays the workspace's own.
    EXPECT_EQ(
        IniFile(dir.file(QStringLiteral("tamrel.ini"))).readString(QStringLiteral("recent"), QStringLiteral("path")),
        handed);
    EXPECT_EQ(configured(), QStringLiteral("201203"));

    // The window shows where the report comes from and leads back to the workspace's own period.
    auto *outside = window->findChild<OutsideReportNotice *>(QStringLiteral("OutsideReportNotice"));
    ASSERT_NE(outside, nullptr);
    EXPECT_TRUE(outside->isVisibleTo(window.get()));
    EXPECT_TRUE(outside->text().contains(QDir::toNativeSeparators(handed)));
    EXPECT_TRUE(window->windowTitle().contains(QDir::toNativeSeparators(handed)));
    EXPECT_FALSE(window->nextMonthCommands()->UpdateNextMonthAction->isEnabled());
    Q_EMIT outside->linkActivated(QStringLiteral("back"));
    EXPECT_EQ(window->AppSettings->FDeclarationFileName.left(dir.path().size()), dir.path());
    EXPECT_FALSE(outside->isVisibleTo(window.get()));
    EXPECT_FALSE(window->windowTitle().contains(QDir::toNativeSeparators(handed)));
    EXPECT_TRUE(window->Views.isOpen());
}

TEST_F(PeriodCommandsTest, ACorrectedMonthUpdatesTheNextOneFromThePeriodLine)
{
    // April is carried over from March, then March is opened again.
    {
        ModalDriver driver(choose(3, 12));
        commands().LoadAccountActionExecute();
    }
    const QString april = window->AppSettings->FDeclarationFileName;
    window->GetNewPeriod(12, 3);
    NextMonthCommands &next = *window->nextMonthCommands();
    ASSERT_TRUE(next.UpdateNextMonthAction->isEnabled());
    auto *notice = window->findChild<QLabel *>(QStringLiteral("NextMonthNotice"));
    ASSERT_NE(notice, nullptr);
    next.checkNow();
    EXPECT_FALSE(next.nextMonthStale());
    EXPECT_FALSE(notice->isVisibleTo(window.get()));

    // March sells one more litre of a product April carries on.
    QString key;
    double marchRest = 0;
    {
        Table march(window->AppSettings->FDeclarationFileName);
        march.open();
        for (march.first(); !march.eof(); march.next()) {
            if (dkey::kindOf(march.asString(u"dkey")) == dkey::KeyKind::Position && march.asFloat(u"rest") >= 1) {
                key = dkey::withPeriod(march.asString(u"dkey"), QStringLiteral("201204"));
                marchRest = march.asFloat(u"rest") - 1;
                march.edit();
                march.setFloat(u"volume_charges", march.asFloat(u"volume_charges") + 1);
                march.setFloat(u"rest", marchRest);
                march.post();
                break;
            }
        }
        march.close();
    }
    ASSERT_FALSE(key.isEmpty());
    const auto aprilRow = [&] {
        Table table(april);
        table.open();
        for (table.first(); !table.eof(); table.next())
            if (table.asString(u"dkey") == key)
                return std::pair(table.asFloat(u"rest_volume"), table.asFloat(u"rest"));
        return std::pair(-1.0, -1.0);
    };
    const auto [openingBefore, restBefore] = aprilRow();
    next.checkNow();
    EXPECT_TRUE(next.nextMonthStale());
    EXPECT_TRUE(notice->isVisibleTo(window.get()));
    EXPECT_TRUE(notice->text().contains(QStringLiteral("Обновить остатки следующего месяца")));

    MessageBoxes::clearShownTexts();
    Q_EMIT notice->linkActivated(QStringLiteral("update"));
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 2) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).contains(QStringLiteral("изменятся остатки строк: 1, добавятся строки: 0")));
    const auto [openingAfter, restAfter] = aprilRow();
    EXPECT_DOUBLE_EQ(openingAfter, marchRest);
    EXPECT_NEAR(openingAfter - openingBefore, -1.0, 1e-9);
    EXPECT_NEAR(restAfter - restBefore, -1.0, 1e-9);
    next.checkNow();
    EXPECT_FALSE(notice->isVisibleTo(window.get()));
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201203"));
}

TEST_F(PeriodCommandsTest, BadFolderNameStopsWithItsMessage)
{
    TempDir out;
    QDir().mkpath(out.file(QStringLiteral("2012ab")));
    setFolderChooser([&](QWidget *, const QString &, QString &folder) {
        folder = out.file(QStringLiteral("2012ab"));
        return true;
    });
    const QString before = window->AppSettings->FDeclarationFileName;
    commands().ImportToDBActionExecute();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Название папки должно быть в формате: YYYYMM")});
    EXPECT_EQ(window->AppSettings->FDeclarationFileName, before);
}

TEST_F(PeriodCommandsTest, AddingAReportAppendsItsInvoices)
{
    const int invoices = window->Views.ClientDataSetInvoice.recordCount();
    const QString february = QDir(window->AppSettings->FcurDir + QStringLiteral("reports/201202"))
                                 .entryInfoList({QStringLiteral("??????????????????.xml")}, QDir::Files)
                                 .value(0)
                                 .absoluteFilePath();
    ASSERT_FALSE(february.isEmpty());
    commands().setFileChooser([&](QWidget *) { return february; });
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &form = static_cast<TDialogForm &>(dialog);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Добавление отчета"));
            form.ButtonAdd->click();
        });
        commands().LoadAddDeclarationActionExecute();
    }
    EXPECT_GT(window->Views.ClientDataSetInvoice.recordCount(), invoices);
    window->Views.ClientDataSetInvoice.last();
    EXPECT_EQ(window->Views.ClientDataSetInvoice.asString(u"dkey").mid(12, 4), QStringLiteral("1203"));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

TEST_F(PeriodCommandsTest, ReplacingByAFileThatIsNoDeclarationIsRefused)
{
    const QString declaration = window->AppSettings->FDeclarationFileName;
    const QByteArray before = readAll(declaration);
    const QString regions = window->AppSettings->FRegionsFileName;
    commands().setFileChooser([&](QWidget *) { return regions; });
    {
        ModalDriver driver([](QDialog &dialog) { static_cast<TDialogForm &>(dialog).ButtonReplace->click(); });
        commands().LoadAddDeclarationActionExecute();
    }
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).startsWith(
        QStringLiteral("Файл %1 не является таблицей декларации: нет поля dkey").arg(regions)))
        << MessageBoxes::shownTexts().at(0).toStdString();
    EXPECT_EQ(readAll(declaration), before);
    EXPECT_TRUE(window->Views.isOpen());
}

TEST_F(PeriodCommandsTest, ReconciliationReportsItsCount)
{
    commands().N18Click();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).startsWith(QStringLiteral("Количество ошибок: ")));
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("error.log"))));
    EXPECT_TRUE(window->Views.isOpen());
}

} // namespace

namespace {

TEST_F(PeriodCommandsTest, TextExportThenDeletionOfTheListedWaybills)
{
    commands().UpDateClick();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Данные выгружены:  ( см. файл data.txt)")});
    EXPECT_TRUE(QFileInfo::exists(dir.file(QStringLiteral("data.txt"))));
    ASSERT_TRUE(window->Views.isOpen());

    // The log names the waybill of the shown invoice's positions: they go, the other invoices keep theirs.
    Table &positions = window->Views.ClientDataSetProduction;
    ASSERT_GT(positions.recordCount(), 0);
    const QString waybill = positions.asString(u"ttn_numer");
    const int before = positions.recordCount();
    QFile log(dir.file(QStringLiteral("error.log")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
    log.write((QStringLiteral("Не выгрузилось ттн №: ") + waybill + u'\n').toUtf8());
    log.close();
    commands().BtnDelErrorsClick();
    ASSERT_TRUE(window->Views.isOpen());
    window->Views.ClientDataSetInvoice.first();
    window->Views.invoiceSelected(false);
    EXPECT_LT(window->Views.ClientDataSetProduction.recordCount(), before);
    for (Table &p = window->Views.ClientDataSetProduction; !p.eof(); p.next())
        EXPECT_NE(p.asString(u"ttn_numer"), waybill);
}

} // namespace
