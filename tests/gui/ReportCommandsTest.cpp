#include "gui/reports/ReportCommands.h"
#include "KalvorBuildInfo.h"
#include "ModalDriver.h"
#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/ObjectsImport.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/period/GetFolderDialog.h"
#include "gui/reports/ReportPeriodForm.h"
#include "sheets/XlsxWorkbook.h"
#include "support/DatabaseWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// The demo workspace (March 2012) over the embedded database, its period uploaded, in a main window.
class ReportCommandsTest : public ::testing::Test {
protected:
    void start(bool service)
    {
        if (!window)
            createDemoWorkspace(ws.dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        window.reset();
        if (service) {
            IniFile ini(ws.dir.file(QStringLiteral("tamrel.ini")));
            ini.writeString(QStringLiteral("service"), QStringLiteral("show_hidden"), QStringLiteral("1"));
        }
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), ws.dir.path()}, QString());
        window->FormCreate();
        commands = window->reportCommands();
        if (commands)
            commands->setWorkbookOpener([this](const QString &path) {
                opened.append(path);
                return true;
            });
        MessageBoxes::clearShownTexts();
    }
    void upload()
    {
        const QString folder = ws.dir.file(QStringLiteral("reports/201203/"));
        dbupload::uploadDeclaration({ws.curDir(),
                                     DatabaseWorkspace::shareDir(),
                                     folder + QStringLiteral("710701234500120300.xml"),
                                     folder + QStringLiteral("710701234500120300d.xml"),
                                     {12, 3}});
    }
    void TearDown() override { setFolderChooser({}); }

    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }
    QMenu *menu(const QString &title) const
    {
        for (QAction *item : window->menuBar()->actions())
            if (item->text() == title)
                return item->menu();
        return nullptr;
    }
    QStringList shown()
    {
        const QStringList texts = MessageBoxes::shownTexts();
        MessageBoxes::clearShownTexts();
        return texts;
    }

    DatabaseWorkspace ws{TestProvider::SQLite};
    std::unique_ptr<TMainForm> window;
    ReportCommands *commands = nullptr;
    QStringList opened;
};

// Picks the months of the span in the period dialog (indices: month 0 = January, year 0 = 2006) and
// presses "Сформировать".
ModalDriver::Action chooseSpan(int startMonth, int endMonth, int year, const QString &inn = {})
{
    return [=](QDialog &dialog) {
        auto &form = dynamic_cast<TReportPeriodForm &>(dialog);
        form.ComboBoxStartMonth->setCurrentIndex(startMonth);
        form.ComboBoxEndMonth->setCurrentIndex(endMonth);
        form.ComboBoxStartYear->setCurrentIndex(form.ComboBoxStartYear->findText(QString::number(year)));
        form.ComboBoxEndYear->setCurrentIndex(form.ComboBoxEndYear->findText(QString::number(year)));
        if (!inn.isEmpty())
            retype(form.INNEdit, inn);
        form.ButtonOk->click();
    };
}

} // namespace

// The dialog: its texts, the years to the year after the current one, the INN field and the span read
// from the lists.
TEST(ReportPeriodForm, OffersTheYearsToNextYearAndReadsTheSpan)
{
    TReportPeriodForm form(nullptr, 2026);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Сформировать отчет за период"));
    EXPECT_EQ(form.ComboBoxStartYear->count(), 22);
    EXPECT_EQ(form.ComboBoxEndYear->itemText(0), QStringLiteral("2006"));
    EXPECT_EQ(form.ComboBoxEndYear->itemText(21), QStringLiteral("2027"));
    EXPECT_EQ(form.ComboBoxStartMonth->itemText(11), QStringLiteral("декабрь"));
    EXPECT_EQ(form.ComboBoxStartMonth->currentIndex(), 0);
    EXPECT_EQ(form.ComboBoxEndYear->currentIndex(), 0);
    EXPECT_TRUE(form.INNEdit->isHidden());
    EXPECT_EQ(form.INNEdit->maxLength(), 12);
    EXPECT_FALSE(form.CheckBox1->isEnabled());
    EXPECT_EQ(form.CheckBox1->text(), QStringLiteral("по всем объектам"));
    EXPECT_EQ(form.ButtonOk->text(), QStringLiteral("Сформировать"));
    EXPECT_EQ(form.ButtonCancel->text(), QStringLiteral("Отмена"));

    form.setPeriod(2027, 12);
    EXPECT_EQ(form.span().start(), 2712);
    EXPECT_EQ(form.span().end(), 2712);
    form.setPeriod(2030, 1); // not offered: stays
    EXPECT_EQ(form.span().start(), 2712);

    form.setINNVisible(true);
    bool focused = false;
    ModalDriver driver([&](QDialog &dialog) {
        auto &f = dynamic_cast<TReportPeriodForm &>(dialog);
        // The dialog's own focus child: the application's focus waits for the window to be activated.
        focused = f.focusWidget() == f.INNEdit;
        f.ButtonCancel->click();
    });
    EXPECT_EQ(form.exec(), QDialog::Rejected);
    EXPECT_TRUE(focused);
}

// "Отчеты" is hidden for the filer and shown by the service option, its reports first in their order.
TEST_F(ReportCommandsTest, MenuHiddenUnlessTheServiceOptionAndInItsOrder)
{
    start(false);
    QMenu *reports = menu(QStringLiteral("Отчеты"));
    ASSERT_NE(reports, nullptr);
    EXPECT_FALSE(reports->menuAction()->isVisible());

    start(true);
    reports = menu(QStringLiteral("Отчеты"));
    EXPECT_TRUE(reports->menuAction()->isVisible());
    QStringList items;
    for (QAction *item : reports->actions())
        items.append(item->isSeparator() ? QStringLiteral("-") : item->objectName() + u'=' + item->text());
    const QStringList expected = {
        QStringLiteral("ReportControlAction=Отчет контроль"),
        QStringLiteral("ProductionSupplyAction=Отчет о поступлении алк. продукции от поставщиков"),
        QStringLiteral("RegionsProductionSupplyAction=Отчет о поступлении алк. продукции из регионов"),
        QStringLiteral("ForeignProductionAction=Отчет о поступлении импортной алк. продукции"),
        QStringLiteral("-"),
        QStringLiteral(
            "ReportProductionSupplyLitrAction=Отчет о поступлении алк. продукции от поставщиков (в дал.) - 6.xls"),
        QStringLiteral("ReportProductionSupplyRaionVOAction=Отчет о реализации по районам ВО - 7.xls"),
        QStringLiteral("ReportProductionSupplyProizvVOAction=Отчет о реализации по производителям ВО - 8.xls"),
        QStringLiteral("ReportProductionVodka52Action=Отчет о реализации дешевой водки - 9.xls"),
        QStringLiteral("ReportObjects=Отчет о полноте данных (Объекты) - 10.xls"),
        QStringLiteral("-"),
        QStringLiteral("ConvertKindProductionAction=Конвертировать виды продукции"),
        QStringLiteral("-"),
    };
    EXPECT_EQ(items.mid(0, expected.size()), expected);
}

// Reports from the window: the dialog, the filled workbook handed over, the message for an empty span and
// the database's reason under "Ошибка выполнения запроса".
TEST_F(ReportCommandsTest, ReportsFromTheWindow)
{
    start(true);
    upload();
    {
        ModalDriver driver(chooseSpan(2, 2, 2012));
        action("ProductionSupplyAction")->trigger();
    }
    EXPECT_EQ(shown(), QStringList());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], ws.dir.file(QStringLiteral("temp/2.xlsx")));
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(opened[0]).sheet();
    EXPECT_EQ(sheet.textAt(4, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по март 2012 г."));
    EXPECT_FALSE(sheet.textAt(8, 2).isEmpty());

    {
        ModalDriver driver(chooseSpan(2, 2, 2012, QStringLiteral("7107012345")));
        action("ReportControlAction")->trigger();
    }
    EXPECT_EQ(shown(), QStringList());
    ASSERT_EQ(opened.size(), 2);
    EXPECT_TRUE(sheets::XlsxWorkbook::open(opened[1]).sheet().textAt(4, 1).startsWith(
        QStringLiteral("Наименование объекта декларирования:   ")));

    {
        ModalDriver driver(chooseSpan(0, 1, 2013));
        action("ReportProductionVodka52Action")->trigger();
    }
    EXPECT_EQ(shown(), QStringList{QStringLiteral("За выбранный период данных не обнаружено")});
    {
        ModalDriver driver([](QDialog &dialog) { dynamic_cast<TReportPeriodForm &>(dialog).ButtonCancel->click(); });
        action("ForeignProductionAction")->trigger();
    }
    EXPECT_EQ(shown(), QStringList());
    EXPECT_EQ(opened.size(), 2);

    QFile(ws.dir.file(QStringLiteral("db.udl"))).open(QIODevice::WriteOnly | QIODevice::Truncate);
    {
        ModalDriver driver(chooseSpan(2, 2, 2012));
        action("RegionsProductionSupplyAction")->trigger();
    }
    const QStringList failure = shown();
    ASSERT_EQ(failure.size(), 1);
    EXPECT_TRUE(failure[0].startsWith(QStringLiteral("Ошибка выполнения запроса\n"))) << failure[0].toStdString();
    EXPECT_TRUE(failure[0].contains(QStringLiteral("db.udl"))) << failure[0].toStdString();
}

// Loading a report folder ends with the completeness report, also when the choice is cancelled; without
// a database the loading stands and one message says why.
TEST_F(ReportCommandsTest, LoadingAFolderEndsWithTheCompletenessReport)
{
    start(true);
    upload();
    dbupload::importObjects(ws.curDir(), {},
                            ws.dir.write(QStringLiteral("o.csv"), "INN;Kod_object;Date_object;Kod_raion;Status;"
                                                                  "Date_priost;Date_save\n7107012345;1;;;0;;\n"
                                                                  "7107012345;99;;;0;;\n"));
    setFolderChooser([](QWidget *, const QString &, QString &) { return false; });
    int year = 0, month = 0;
    {
        ModalDriver driver([&](QDialog &dialog) {
            auto &form = dynamic_cast<TReportPeriodForm &>(dialog);
            EXPECT_TRUE(form.INNEdit->isHidden());
            year = form.span().startYear;
            month = form.span().startMonth;
            EXPECT_EQ(form.span().end(), form.span().start());
            form.ButtonOk->click();
        });
        action("ImportToDBAction")->trigger();
    }
    EXPECT_EQ(year, 2012);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(shown(), QStringList());
    ASSERT_EQ(opened.size(), 1);
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(opened[0]).sheet();
    EXPECT_EQ(opened[0], ws.dir.file(QStringLiteral("temp/10.xlsx")));
    EXPECT_EQ(sheet.textAt(8, 3), QStringLiteral("1"));
    EXPECT_EQ(sheet.textAt(9, 3), QStringLiteral("99"));
    EXPECT_EQ(sheet.format(sheet.formatIndexAt(9, 2)).fontColour, sheets::kRed); // read back into its format

    // A folder chosen and loaded: the verification's messages, then the report's dialog.
    const QString folder = ws.dir.file(QStringLiteral("in/201203"));
    QDir().mkpath(folder);
    for (const QString &name : {QStringLiteral("710701234500120300.xml"), QStringLiteral("710701234500120300d.xml")})
        QFile::copy(ws.dir.file(QStringLiteral("reports/201203/") + name), folder + u'/' + name);
    setFolderChooser([folder](QWidget *, const QString &, QString &chosen) {
        chosen = folder;
        return true;
    });
    {
        ModalDriver driver([](QDialog &dialog) { dynamic_cast<TReportPeriodForm &>(dialog).ButtonOk->click(); });
        action("ImportToDBAction")->trigger();
        EXPECT_TRUE(driver.ran());
    }
    EXPECT_TRUE(shown().last().startsWith(QStringLiteral("Верификация завершена")));
    EXPECT_EQ(opened.size(), 2);

    // No database: the loading completes, one message tells why, no dialog.
    QFile::remove(ws.dir.file(QStringLiteral("db.udl")));
    action("ImportToDBAction")->trigger();
    const QStringList messages = shown();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Ошибка выполнения запроса\n")))
        << messages.last().toStdString();
    EXPECT_EQ(messages.filter(QStringLiteral("Ошибка выполнения запроса")).size(), 1);
    EXPECT_EQ(window->AppSettings->FDeclarationFileName, folder + QStringLiteral("/710701234500120300.xml"));
}
