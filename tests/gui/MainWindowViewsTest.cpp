#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "gui/MainWindow.h"
#include "gui/editing/EditingCommands.h"
#include "gui/common/GridColumns.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TableModel.h"
#include "gui/editing/InvoiceForm.h"
#include "support/DeclarationRows.h"
#include "support/TempDir.h"
#include "ModalDriver.h"

#include "KalvorBuildInfo.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

QByteArray row(const QByteArray &key, const QByteArray &more = {}) { return "dkey=\"" + key + "\" " + more; }

class MainWindowViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        createDemoWorkspace(m_dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
    }
    void TearDown() override { MessageBoxes::clearShownTexts(); }

    void start()
    {
        m_window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), m_dir.path()}, m_dir.path());
        m_window->FormCreate();
    }
    void useDeclaration(const QList<QByteArray> &rows)
    {
        m_window->Views.close();
        const QFileInfo file(m_window->AppSettings->FDeclarationFileName);
        writeDeclaration(file.path(), file.fileName(), rows);
        ASSERT_TRUE(m_window->reopenViews());
    }
    // Two invoices: the first with positions A (two transfers) and B, the second with C.
    void useSample()
    {
        useDeclaration({row(declarationKey(1), "ttn_numer=\"12\" ttn_date=\"20120401\""),
                        row(declarationKey(1, 1), "production_name=\"A\" production_code=\"9\" rest=\"-1.000\""),
                        row(declarationKey(1, 1, 1), "rest=\"1.000\""), row(declarationKey(1, 1, 2), "rest=\"2.000\""),
                        row(declarationKey(1, 2), "production_name=\"B\" production_code=\"1\" rest=\"-2.000\""),
                        row(declarationKey(2), "ttn_numer=\"012\""),
                        row(declarationKey(2, 1), "production_name=\"C\" rest=\"-3.000\"")});
    }
    void selectRow(QTableView *grid, int row) { grid->setCurrentIndex(grid->model()->index(row, 0)); }
    QString cell(QTableView *grid, int row, int column) { return grid->model()->index(row, column).data().toString(); }

    TempDir m_dir;
    std::unique_ptr<TMainForm> m_window;
};

} // namespace

TEST_F(MainWindowViewsTest, SelectingMovesTheDependentGridsAndTheCommands)
{
    start();
    useSample();
    TMainForm &w = *m_window;
    EXPECT_EQ(w.DBGridProduction->model()->rowCount(), 2);
    EXPECT_EQ(w.DBGridInner->model()->rowCount(), 2);
    EXPECT_FALSE(w.editingCommands()->DeleteInvoiceAction->isEnabled());
    EXPECT_FALSE(w.editingCommands()->DeleteProductionAction->isEnabled()); // A has transfers
    EXPECT_TRUE(w.editingCommands()->DeleteInnerTransferAction->isEnabled());

    selectRow(w.DBGridProduction, 1); // B: no transfers, so it can be deleted
    EXPECT_EQ(w.DBGridInner->model()->rowCount(), 0);
    EXPECT_TRUE(w.editingCommands()->DeleteProductionAction->isEnabled());
    EXPECT_FALSE(w.editingCommands()->EditInnerTransferAction->isEnabled());
    selectRow(w.DBGridProduction, 0); // back on A
    EXPECT_FALSE(w.editingCommands()->DeleteProductionAction->isEnabled());
    selectRow(w.DBGridProduction, 1);

    selectRow(w.DBGridInvoice, 1);
    EXPECT_EQ(cell(w.DBGridProduction, 0, 0), QStringLiteral("C"));
    EXPECT_TRUE(w.editingCommands()->DeleteProductionAction->isEnabled());
    EXPECT_EQ(w.Views.ClientDataSetProduction.recNo(), 1);

    // Insert in the invoices grid starts adding an invoice.
    ModalDriver driver([](QDialog &dialog) {
        EXPECT_NE(qobject_cast<TInvoiceForm *>(&dialog), nullptr);
        dialog.reject();
    });
    QKeyEvent insert(QEvent::KeyRelease, Qt::Key_Insert, Qt::NoModifier);
    QApplication::sendEvent(w.DBGridInvoice, &insert);
}

TEST_F(MainWindowViewsTest, TheComingChargesPanelFollowsTheFocusedGrid)
{
    start();
    useSample();
    TMainForm &w = *m_window;
    EXPECT_TRUE(w.Panel11->isHidden());
    EXPECT_FALSE(w.N15->isChecked());
    selectRow(w.DBGridInvoice, 1); // hidden panel: the charges view is not followed
    w.N15->trigger();
    EXPECT_FALSE(w.Panel11->isHidden());
    EXPECT_TRUE(w.N15->isChecked());
    EXPECT_EQ(w.Views.ClientDataSetCommingCharges.asString(u"dkey"), QString::fromLatin1(declarationKey(2, 1)));

    w.DBGridInnerEnter();
    EXPECT_EQ(w.DescComingLabel->text(), QStringLiteral("(внутр.)"));
    EXPECT_EQ(w.DescChargesLabel->text(), QStringLiteral("(внутр.)"));
    EXPECT_FALSE(w.ComingPageControl->isTabVisible(1));
    EXPECT_FALSE(w.ChargesPageControl->isTabVisible(1));
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridMarkup->model())->table(), &w.Views.ClientDataSetTransfer);
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridSupplier->model())->table(), &w.Views.ClientDataSetTransfer);

    w.DBGridProductionEnter();
    EXPECT_TRUE(w.DescComingLabel->text().isEmpty());
    EXPECT_TRUE(w.ComingPageControl->isTabVisible(1));
    EXPECT_TRUE(w.ChargesPageControl->isTabVisible(1));
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridMarkup->model())->table(), &w.Views.ClientDataSetCommingCharges);

    // The buyer-return page shows the transfers' charges on the right.
    w.ComingPageControl->setCurrentIndex(1);
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridWriteoff->model())->table(), &w.Views.ClientDataSetTransfer);
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridByerReturn->model())->table(), &w.Views.ClientDataSetCommingCharges);
    w.ComingPageControl->setCurrentIndex(0);
    EXPECT_EQ(&static_cast<TableModel *>(w.DBGridWriteoff->model())->table(), &w.Views.ClientDataSetCommingCharges);

    w.N15Click();
    EXPECT_TRUE(w.Panel11->isHidden());
    EXPECT_FALSE(w.N15->isChecked());
}

TEST_F(MainWindowViewsTest, SuspiciousCellsAreColouredUnderTheOptions)
{
    start();
    useSample();
    TMainForm &w = *m_window;
    const QColor pink(0xFF, 0xCC, 0xCC);
    const auto background = [](QTableView *grid, int row, int column) {
        return grid->model()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
    };
    EXPECT_EQ(background(w.DBGridProduction, 0, 2), pink); // kind 9
    EXPECT_EQ(background(w.DBGridProduction, 0, 6), pink); // remains below zero
    EXPECT_EQ(background(w.DBGridInvoice, 0, 4), pink);    // waybill of April in a March declaration
    EXPECT_EQ(background(w.DBGridInvoice, 0, 0), pink);    // no supplier
    w.CheckErrors = false;
    w.repaintGrids();
    EXPECT_FALSE(w.DBGridProduction->model()->index(0, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(w.DBGridInvoice->model()->index(0, 4).data(Qt::BackgroundRole).isValid());
}

TEST_F(MainWindowViewsTest, FindingAnInvoiceByItsWaybillNumber)
{
    start();
    useSample();
    TMainForm &w = *m_window;
    w.SpeedButton18Click();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Введите номер накладной! ")});
    MessageBoxes::clearShownTexts();

    w.Edit1->setText(QStringLiteral("012"));
    w.Edit1KeyDown(Qt::Key_Return);
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
    EXPECT_EQ(w.DBGridInvoice->currentIndex().row(), 1);
    EXPECT_EQ(cell(w.DBGridProduction, 0, 0), QStringLiteral("C"));

    w.Edit1->setText(QStringLiteral("12 "));
    w.SpeedButton18->click();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Накладной с номером 12  не найдена! ")});
    EXPECT_EQ(w.DBGridInvoice->currentIndex().row(), 0);
    EXPECT_EQ(cell(w.DBGridProduction, 0, 0), QStringLiteral("A"));
}

TEST_F(MainWindowViewsTest, NegativeRemainsAreSteppedThroughAndTheSearchesStayHidden)
{
    start();
    useSample();
    TMainForm &w = *m_window;
    EXPECT_TRUE(w.SpeedButton20->isHidden());
    EXPECT_TRUE(w.ButtonSearch->isHidden());
    EXPECT_TRUE(w.ComboBoxSearch->isHidden());
    EXPECT_TRUE(w.EditSearch->isHidden());

    QList<int> invoices;
    for (int press = 0; press < 5; ++press) {
        w.SpeedButton20Click();
        invoices << w.DBGridInvoice->currentIndex().row();
    }
    EXPECT_EQ(invoices, (QList<int>{0, 0, 1, 1, 0}));
    EXPECT_EQ(MessageBoxes::shownTexts(),
              QStringList{QStringLiteral("Достигнут последний элемент поиска. Поиск будет начат сначала. Запустите поиск сначала! ")});
    EXPECT_EQ(w.dkeySearchGlobal, QString::fromLatin1(declarationKey(1, 1)));

    MessageBoxes::clearShownTexts();
    useDeclaration({row(declarationKey(1)), row(declarationKey(1, 1), "rest=\"0.000\"")});
    w.dkeySearchGlobal.clear();
    w.SpeedButton20Click();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Отрицательных остатков не найдено! ")});
}

TEST_F(MainWindowViewsTest, TheServiceOptionShowsThePriceListingWhichWritesLog1)
{
    {
        IniFile ini(m_dir.file(QStringLiteral("tamrel.ini")));
        ini.writeString(QStringLiteral("service"), QStringLiteral("show_hidden"), QStringLiteral("1"));
        ini.flush();
    }
    start();
    TMainForm &w = *m_window;
    EXPECT_FALSE(w.SpeedButton20->isHidden());
    EXPECT_FALSE(w.ButtonSearch->isHidden());
    EXPECT_EQ(w.EditSearch->text(), QStringLiteral("77"));
    EXPECT_EQ(w.ComboBoxSearch->currentText(), QStringLiteral("водка <"));
    useDeclaration({row(declarationKey(1)),
                    row(declarationKey(1, 1), "production_code=\"1\" package_volume=\"0.500\" purches_price=\"77.00\""),
                    row(declarationKey(1, 2), "production_code=\"1\" package_volume=\"0.500\" purches_price=\"76.99\"")});
    selectRow(w.DBGridProduction, 1);
    w.ButtonSearch->click();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{QStringLiteral("Данные выгружены:  ( см. файл log1.txt)")});
    EXPECT_EQ(readAll(m_dir.file(QStringLiteral("log1.txt"))), "dkey=" + declarationKey(1, 1) + "\r\n");
    EXPECT_EQ(w.Views.ClientDataSetProduction.recNo(), 2); // the views come back where they were

    MessageBoxes::clearShownTexts();
    w.EditSearch->setText(QStringLiteral("семьдесят"));
    w.ButtonSearchClick();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("семьдесят")));
    EXPECT_EQ(readAll(m_dir.file(QStringLiteral("log1.txt"))), "dkey=" + declarationKey(1, 1) + "\r\n");
}

TEST_F(MainWindowViewsTest, ColumnsFitEveryReopenAndKeepTheWidthsTheUserSets)
{
    start();
    useDeclaration({row(declarationKey(1), "supply_name=\"А\" ttn_numer=\"1\"")});
    QTableView *grid = m_window->DBGridInvoice;
    const int narrow = grid->columnWidth(0);
    // A longer supplier arrives: the column grows at once, up to its cap.
    useDeclaration({row(declarationKey(1), "supply_name=\"Общество с ограниченной ответственностью Ромашка\"")});
    EXPECT_GT(grid->columnWidth(0), narrow);
    EXPECT_LE(grid->columnWidth(0), GridColumns::kMaxWidth);
    // Titles wrap onto two lines instead of widening their columns.
    EXPECT_TRUE(grid->horizontalHeader()->defaultAlignment().toInt() & Qt::TextWordWrap);
    const QFontMetrics header(grid->horizontalHeader()->font());
    EXPECT_LT(grid->columnWidth(2), header.horizontalAdvance(QStringLiteral("Дата получения лицензии")));

    // A width the user sets holds through reopening and, through the configuration file, a restart.
    grid->findChild<GridColumns *>()->setUserWidth(QStringLiteral("Номер ТТН"), 210);
    useDeclaration({row(declarationKey(1), "ttn_numer=\"1\"")});
    EXPECT_EQ(grid->columnWidth(3), 210);
    m_window.reset();
    start();
    EXPECT_EQ(m_window->DBGridInvoice->columnWidth(3), 210);
}
