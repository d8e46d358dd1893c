#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "gui/MainWindow.h"
#include "gui/WheelTranslator.h"
#include "gui/common/MessageBoxes.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        createDemoWorkspace(m_dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
    }
    void TearDown() override { MessageBoxes::clearShownTexts(); }

    std::unique_ptr<TMainForm> start()
    {
        auto window = std::make_unique<TMainForm>(QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), m_dir.path()},
                                                  m_dir.path());
        window->FormCreate();
        return window;
    }

    test::TempDir m_dir;
};

QStringList menuCaptions(QMenuBar *bar)
{
    QStringList result;
    for (QAction *menu : bar->actions()) {
        result << menu->text();
        for (QAction *item : menu->menu()->actions())
            result << (item->isSeparator() ? QStringLiteral("-") : QStringLiteral("  ") + item->text());
    }
    return result;
}

} // namespace

TEST_F(MainWindowTest, NormalStartShowsThePeriodTheRequisitesAndTheViews)
{
    auto window = start();
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Декларация о розничной продаже алкогольной продукции  (версия ")));
    EXPECT_EQ(window->ComboBoxMonth->currentText(), QStringLiteral("март"));
    EXPECT_EQ(window->ComboBoxYear->currentText(), QStringLiteral("2012"));
    EXPECT_TRUE(window->Essential->text().startsWith(QStringLiteral("ООО \"Ромашка\", ИНН 7107012345, ")));
    EXPECT_GT(window->DBGridInvoice->model()->rowCount(), 0);
    EXPECT_GT(window->DBGridProduction->model()->rowCount(), 0);
    EXPECT_EQ(window->BtnPeriodAdd->toolTip(), QStringLiteral("перейти в следующий отчетный период"));
    EXPECT_EQ(menuCaptions(window->menuBar()),
              (QStringList{QStringLiteral("Файл"), QStringLiteral("  Печать…"), QStringLiteral("  Сохранить в PDF…"),
                           QStringLiteral("-"), QStringLiteral("  Выход"), QStringLiteral("Справочники"),
                           QStringLiteral("  Реквизиты"), QStringLiteral("  Поставщики"), QStringLiteral("  Регионы"),
                           QStringLiteral("  Виды продукции"), QStringLiteral("  Обособленные подразделения"),
                           QStringLiteral("  Продукция"), QStringLiteral("Сервис"),
                           QStringLiteral("  Выгрузить в файлы"), QStringLiteral("  Выгрузить в Excel"), QStringLiteral("  Выгрузить в Calc"),
                           QStringLiteral("  Обновить остатки следующего месяца"),
                           QStringLiteral("-"),
                           QStringLiteral("  Уменьшить файл отчета"), QStringLiteral("-"),
                           QStringLiteral("  Удалить \"пустые\" данные"), QStringLiteral("-"),
                           QStringLiteral("  Пакетная выгрузка в БД.."), QStringLiteral("  Исправление dkey"),
                           QStringLiteral("  Разделить файл отчета"),
                           QStringLiteral("  Разделение"), QStringLiteral("Отчеты"),
                           QStringLiteral("  Отчет контроль"),
                           QStringLiteral("  Отчет о поступлении алк. продукции от поставщиков"),
                           QStringLiteral("  Отчет о поступлении алк. продукции из регионов"),
                           QStringLiteral("  Отчет о поступлении импортной алк. продукции"), QStringLiteral("-"),
                           QStringLiteral("  Отчет о поступлении алк. продукции от поставщиков (в дал.) - 6.xls"),
                           QStringLiteral("  Отчет о реализации по районам ВО - 7.xls"),
                           QStringLiteral("  Отчет о реализации по производителям ВО - 8.xls"),
                           QStringLiteral("  Отчет о реализации дешевой водки - 9.xls"),
                           QStringLiteral("  Отчет о полноте данных (Объекты) - 10.xls"), QStringLiteral("-"),
                           QStringLiteral("  Конвертировать виды продукции"), QStringLiteral("-"),
                           QStringLiteral("  Тест: сверка остатков на конец периода"),
                           QStringLiteral("  Перерасчет цены и суммы закупки, кол-во тары"),
                           QStringLiteral("  Заполнить регион (по производителю) - авто, 95%"),
                           QStringLiteral("  Удалить все коды и кол-во внутр. перемещений - авто, 100%"),
                           QStringLiteral("Просмотр"),
                           QStringLiteral("  Приход/Расход за отч. период"), QStringLiteral("Помощь"),
                           QStringLiteral("  Руководство пользователя"), QStringLiteral("  Порядок декларирования"),
                           QStringLiteral("  Постановление о внесении изменений"), QStringLiteral("-"),
                           QStringLiteral("  О программе.."), QStringLiteral("Отправить на e-mail"),
                           QStringLiteral("  ") + window->SendContractMailItem->text(),
                           QStringLiteral("  ") + window->SendNonContractMailItem->text(),
                           QStringLiteral("  Краткая инструкция")}));
    EXPECT_TRUE(window->SendContractMailItem->text().endsWith(QStringLiteral(" (договорные)")));
    // Hidden items and the hidden menu are present but not shown.
    for (QAction *menu : window->menuBar()->actions()) {
        EXPECT_EQ(menu->isVisible(), menu->text() != QStringLiteral("Отчеты")) << menu->text().toStdString();
        if (menu->text() == QStringLiteral("Сервис")) {
            QStringList visible;
            for (QAction *item : menu->menu()->actions())
                if (item->isVisible() && !item->isSeparator())
                    visible << item->text();
            EXPECT_EQ(visible, (QStringList{QStringLiteral("Выгрузить в файлы"), QStringLiteral("Выгрузить в Excel"),
                                            QStringLiteral("Выгрузить в Calc"),
                                            QStringLiteral("Обновить остатки следующего месяца"),
                                            QStringLiteral("Уменьшить файл отчета"),
                                            QStringLiteral("Удалить \"пустые\" данные")}));
        }
    }
}

TEST_F(MainWindowTest, PeriodLineSwitchesOnlyToExistingPeriods)
{
    auto window = start();
    const QString march = window->AppSettings->FDeclarationFileName;
    window->BtnPeriodDelClick(); // February exists
    EXPECT_EQ(window->ComboBoxMonth->currentText(), QStringLiteral("февраль"));
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201202"));
    // New invoices get February's keys.
    EXPECT_EQ(window->AppSettings->FINNYYMMCC, QStringLiteral("710701234500120200"));
    EXPECT_TRUE(window->AppSettings->FDeclarationFileName.endsWith(u"reports/201202/710701234500120200.xml"));
    EXPECT_GT(window->DBGridInvoice->model()->rowCount(), 0);

    window->BtnPeriodDelClick(); // January does not
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("За выбранный период декларации не найдено")});
    EXPECT_EQ(window->ComboBoxMonth->currentText(), QStringLiteral("февраль"));
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("201202"));

    window->ComboBoxMonth->setCurrentIndex(2); // picking a month switches at once
    EXPECT_EQ(window->AppSettings->FDeclarationFileName, march);
    // A switch is not remembered: the configuration still names the period of the last start.
    window->close();
    auto again = start();
    EXPECT_EQ(again->AppSettings->FPeriodString, QStringLiteral("201203"));
}

TEST_F(MainWindowTest, PeriodLineReachesEveryYearAndHoldsOnlyItsItems)
{
    // December 2024 and January and February 2025, copied from the demo's March.
    const QString march = m_dir.file(QStringLiteral("reports/201203/710701234500120300"));
    QString kalvor, declaration;
    for (const QString &period : {QStringLiteral("202412"), QStringLiteral("202501"), QStringLiteral("202502")}) {
        const QString stem = m_dir.file(QStringLiteral("reports/%1/710701234500%2%3").arg(period, period.mid(2, 4), u"00"));
        QDir().mkpath(m_dir.file(QStringLiteral("reports/") + period));
        kalvor = stem + QStringLiteral("d.xml");
        declaration = stem + QStringLiteral(".xml");
        ASSERT_TRUE(QFile::copy(march + QStringLiteral("d.xml"), kalvor));
        ASSERT_TRUE(QFile::copy(march + QStringLiteral(".xml"), declaration));
    }
    {
        IniFile ini(m_dir.file(QStringLiteral("tamrel.ini")));
        ini.writeString(QStringLiteral("last_period"), QStringLiteral("period"), QStringLiteral("202502"));
        ini.writeString(QStringLiteral("last_period"), QStringLiteral("INNYYMMCC"), QStringLiteral("710701234500250200"));
        ini.writeString(QStringLiteral("last_period"), QStringLiteral("kalvor"), kalvor);
        ini.writeString(QStringLiteral("last_period"), QStringLiteral("declaration"), declaration);
    }
    auto window = start();
    EXPECT_EQ(window->ComboBoxYear->currentText(), QStringLiteral("2025"));
    window->BtnPeriodDelClick();
    window->BtnPeriodDelClick(); // across the year
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("202412"));
    EXPECT_EQ(window->AppSettings->FINNYYMMCC, QStringLiteral("710701234500241200"));
    EXPECT_EQ(window->ComboBoxMonth->currentText(), QStringLiteral("декабрь"));
    EXPECT_EQ(window->ComboBoxYear->currentText(), QStringLiteral("2024"));

    // Typing cannot leave a year on screen that is not the period's (the invoice checks read the period).
    QTest::keyClicks(window->ComboBoxYear, QStringLiteral("2099"));
    EXPECT_EQ(window->AppSettings->FPeriodString, QStringLiteral("202412"));
    EXPECT_EQ(window->ComboBoxYear->currentText(), QStringLiteral("2024"));
}

TEST_F(MainWindowTest, TheConvertedMarkFollowsThePeriod)
{
    {
        IniFile ini(m_dir.file(QStringLiteral("tamrel.ini")));
        ini.writeString(QStringLiteral("201202"), QStringLiteral("Converted"), QStringLiteral("1"));
        ini.writeString(QStringLiteral("201203"), QStringLiteral("Converted"), QStringLiteral("yes"));
        ini.flush();
    }
    auto window = start();
    const auto *convert = window->findChild<QAction *>(QStringLiteral("ConvertKindProductionAction"));
    ASSERT_NE(convert, nullptr);
    EXPECT_FALSE(window->periodConverted()); // only "1" counts
    EXPECT_TRUE(convert->isEnabled());
    window->BtnPeriodDelClick();
    EXPECT_TRUE(window->periodConverted());
    EXPECT_FALSE(convert->isEnabled());
    window->BtnPeriodAddClick();
    EXPECT_FALSE(window->periodConverted());
    EXPECT_TRUE(convert->isEnabled());
}

TEST_F(MainWindowTest, ClosingLeavesUnchangedFilesAlone)
{
    auto window = start();
    const QString file = window->AppSettings->FDeclarationFileName;
    const QByteArray before = test::readAll(file);
    window->close();
    EXPECT_EQ(test::readAll(file), before);
}

TEST_F(MainWindowTest, StartUpErrorsAreShownAndTheWindowOpensWithoutTables)
{
    QFile::remove(m_dir.file(QStringLiteral("reports/201203/710701234500120300.xml")));
    auto window = start();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("710701234500120300.xml")));
    EXPECT_EQ(window->DBGridInvoice->model()->rowCount(), 0);
    window->close(); // nothing open, nothing written
    EXPECT_FALSE(QFile::exists(m_dir.file(QStringLiteral("reports/201203/710701234500120300.xml"))));
}

TEST_F(MainWindowTest, WheelStepsMoveTheFocusedGridOneRow)
{
    auto window = start();
    window->show();
    QTableView *grid = window->DBGridInvoice;
    grid->setFocus();
    QApplication::setActiveWindow(window.get());
    grid->setCurrentIndex(grid->model()->index(2, 0));
    ASSERT_EQ(QApplication::focusWidget(), grid);
    WheelTranslator translator;
    qApp->installEventFilter(&translator);
    const auto turn = [grid](int distance) {
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, distance), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &wheel);
    };
    turn(120); // away from the user: up
    EXPECT_EQ(grid->currentIndex().row(), 1);
    turn(-120);
    turn(-120);
    EXPECT_EQ(grid->currentIndex().row(), 3);
    turn(0); // no distance counts as down
    EXPECT_EQ(grid->currentIndex().row(), 4);
    qApp->removeEventFilter(&translator);
    EXPECT_EQ(WheelTranslator::keyForDistance(1), Qt::Key_Up);
    EXPECT_EQ(WheelTranslator::keyForDistance(-1), Qt::Key_Down);
}
