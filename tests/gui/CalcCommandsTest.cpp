#include "PrivateOffice.h"

#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/sheets/CalcCommands.h"
#include "sheets/calc/OfficeSession.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// The demo workspace (March 2012 open) in a main window.
class CalcCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()}, QString());
        window->FormCreate();
        MessageBoxes::clearShownTexts();
    }

    TempDir dir;
    std::unique_ptr<TMainForm> window;
};

QStringList serviceItems(const TMainForm &window)
{
    QStringList items;
    for (const QAction *menu : window.menuBar()->actions())
        if (menu->text() == QStringLiteral("Сервис"))
            for (const QAction *a : menu->menu()->actions())
                items.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return items;
}

} // namespace

// The export leaves an untitled, unmodified document in the office the user works in (here a private
// one), keeps the period totals; the grid of invoices opens there too.
TEST_F(CalcCommandsTest, ExportAndGridLeaveUntitledUnmodifiedDocumentsInTheOffice)
{
    auto *button = window->findChild<QToolButton *>(QStringLiteral("SpeedButton19"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Экспортировать в OpenOffice Calc"));
    EXPECT_TRUE(serviceItems(*window).join(u'|').contains(QStringLiteral("Выгрузить в Excel|Выгрузить в Calc|")))
        << serviceItems(*window).join(u'|').toStdString();

    PrivateOffice office;
    window->calcCommands()->setOfficeOptions(office.options);
    window->calcCommands()->ExportToXLSActionOO->trigger();
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    EXPECT_FALSE(IniFile(dir.file(QStringLiteral("tamrel.ini")))
                     .readString(QStringLiteral("201203"), QStringLiteral("rest"))
                     .isEmpty());

    const auto connection = office.connect();
    std::vector<sheets::calc::OpenSpreadsheet> documents =
        sheets::calc::openSpreadsheets(*connection, QStringLiteral("Q9"));
    ASSERT_EQ(documents.size(), 1u);
    EXPECT_EQ(documents[0].url, QString());
    EXPECT_FALSE(documents[0].modified);
    EXPECT_TRUE(documents[0].visible);
    EXPECT_EQ(documents[0].cell, QStringLiteral("за март 2012 года"));

    auto *grid = window->findChild<QTableView *>(QStringLiteral("DBGridInvoice"));
    ASSERT_NE(grid, nullptr);
    window->calcCommands()->GridToExcel(grid);
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    documents = sheets::calc::openSpreadsheets(*connection, QStringLiteral("A1"));
    ASSERT_EQ(documents.size(), 2u);
    const QString firstTitle = grid->model()->headerData(0, Qt::Horizontal).toString();
    EXPECT_TRUE(std::any_of(documents.begin(), documents.end(), [&](const sheets::calc::OpenSpreadsheet &d) {
        return d.cell == firstTitle && !d.modified && d.visible;
    })) << firstTitle.toStdString();
}

// Without an office the export ends with the automation bridge's message and the window closes.
TEST_F(CalcCommandsTest, NoOfficeGivesTheServerMessage)
{
    sheets::calc::OfficeOptions options;
    options.soffice = QStringLiteral("/nonexistent/soffice");
    options.pipeName = QStringLiteral("kalvor_test_nobody_listens");
    window->calcCommands()->setOfficeOptions(options);
    window->calcCommands()->ExportToXLSActionOO->trigger();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts()[0].startsWith(
        QStringLiteral("Невозможно поднять com-сервер \"com.sun.star.ServiceManager\"")))
        << MessageBoxes::shownTexts()[0].toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(IniFile(dir.file(QStringLiteral("tamrel.ini")))
                    .readString(QStringLiteral("201203"), QStringLiteral("rest"))
                    .isEmpty());
}
