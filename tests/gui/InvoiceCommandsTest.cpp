#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "app/Version.h"
#include "gui/MainWindow.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/editing/DeleteForm.h"
#include "gui/editing/EditingCommands.h"
#include "gui/editing/InvoiceForm.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/TempDir.h"
#include "ModalDriver.h"

#include "KalvorBuildInfo.h"

#include <QAction>
#include <QApplication>
#include <QToolButton>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

QByteArray row(const QByteArray &key, const QByteArray &more = {}) { return "dkey=\"" + key + "\" " + more; }

const QByteArray kInvoiceFields = "supply_name=\"ООО Вектор\" license=\"А 1\" license_date=\"20110101\" "
                                  "ttn_numer=\"1\" ttn_date=\"20120301\" loading_address=\"Тула\"";

// A demo workspace whose March declaration the tests replace with rows of their own.
class InvoiceCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        createDemoWorkspace(m_dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        m_window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), m_dir.path()}, m_dir.path());
        m_window->FormCreate();
        ASSERT_TRUE(MessageBoxes::shownTexts().isEmpty());
    }
    void TearDown() override { MessageBoxes::clearShownTexts(); }

    QString declaration() const { return m_window->AppSettings->FDeclarationFileName; }
    void useDeclaration(const QList<QByteArray> &rows)
    {
        m_window->Views.close();
        const QFileInfo file(declaration());
        writeDeclaration(file.path(), file.fileName(), rows);
        ASSERT_TRUE(m_window->reopenViews());
    }
    void writeSuppliers()
    {
        m_dir.write(QStringLiteral("reports/supplier.xml"),
                    handWrittenPacket("<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"50\" />\r\n"
                                      "<FIELD attrname=\"license\" fieldtype=\"string\" WIDTH=\"50\" />\r\n"
                                      "<FIELD attrname=\"license_date\" fieldtype=\"date\" />\r\n"
                                      "<FIELD attrname=\"loading_address\" fieldtype=\"string\" WIDTH=\"50\" />\r\n",
                                      ansi("<ROW name=\"ООО Юг\" license=\"Б 22\" license_date=\"20100505\" loading_address=\"Орёл\" />\r\n"
                                           "<ROW name=\"ЗАО Альфа\" license=\"А 11\" license_date=\"20090101\" loading_address=\"Тула\" />\r\n")));
    }
    // Fills the waybill of an open invoice dialog and presses "Сохранить".
    static void fillWaybillAndSave(TInvoiceForm &form, const QString &number, const QString &date)
    {
        retype(form.DBEdit4, number);
        retype(form.DBEdit5, date);
        QTest::mouseClick(form.AddButton, Qt::LeftButton);
    }

    TempDir m_dir;
    std::unique_ptr<TMainForm> m_window;
};

} // namespace

TEST_F(InvoiceCommandsTest, TheFirstInvoiceTakesNumberOneTheSupplierAndTheVersion)
{
    writeSuppliers();
    useDeclaration({});
    EXPECT_FALSE(m_window->editingCommands()->AddProductionAction->isEnabled());
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TInvoiceForm &>(dialog);
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Накладная"));
        EXPECT_FALSE(form.lblSupplierBook->isVisibleTo(&form));
        ASSERT_EQ(form.DBLookupComboBox1->count(), 2);
        EXPECT_EQ(form.DBLookupComboBox1->itemText(0), QStringLiteral("ЗАО Альфа")); // ordered by name
        form.DBLookupComboBox1->setCurrentIndex(1);
        form.DBLookupComboBox1CloseUp();
        EXPECT_EQ(form.DBEdit1->text(), QStringLiteral("ООО Юг"));
        EXPECT_EQ(form.DBEdit2->text(), QStringLiteral("Б 22"));
        EXPECT_EQ(form.DBEdit3->text(), QStringLiteral("05.05.2010"));
        EXPECT_EQ(form.DBEdit6->text(), QStringLiteral("Орёл"));
        // Another supplier chosen with the keys (or the wheel) without opening the list.
        QTest::keyClick(form.DBLookupComboBox1, Qt::Key_Up);
        EXPECT_EQ(form.DBEdit1->text(), QStringLiteral("ЗАО Альфа"));
        EXPECT_EQ(form.DBEdit2->text(), QStringLiteral("А 11"));
        EXPECT_EQ(form.DBEdit6->text(), QStringLiteral("Тула"));
        fillWaybillAndSave(form, QStringLiteral("ТН-1"), QStringLiteral("31.03.2012"));
    });
    m_window->editingCommands()->AddInvoiceActionExecute();
    Table &invoices = m_window->Views.ClientDataSetInvoice;
    ASSERT_EQ(invoices.recordCount(), 1);
    EXPECT_EQ(invoices.asString(u"dkey"), QStringLiteral("71070123450012030000000100000000"));
    EXPECT_EQ(invoices.asString(u"version"), versionFieldValue(versionText()));
    EXPECT_EQ(invoices.asString(u"supply_name"), QStringLiteral("ЗАО Альфа"));
    EXPECT_EQ(invoices.asString(u"license"), QStringLiteral("А 11"));
    EXPECT_EQ(invoices.asString(u"ttn_numer"), QStringLiteral("ТН-1"));
    EXPECT_TRUE(m_window->editingCommands()->AddProductionAction->isEnabled());
}

TEST_F(InvoiceCommandsTest, NewInvoicesFollowTheGreatestNumberAndTheViewGoesToIt)
{
    useDeclaration({row(declarationKey(1), kInvoiceFields), row(declarationKey(2), kInvoiceFields),
                    row(declarationKey(5), kInvoiceFields), row(declarationKey(5, 1), "rest=\"1.000\"")});
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TInvoiceForm &>(dialog);
        // No supplier book in this workspace: the dialog says so and the supplier is typed.
        EXPECT_TRUE(form.lblSupplierBook->isVisibleTo(&form));
        EXPECT_TRUE(form.lblSupplierBook->text().contains(QStringLiteral("reports/supplier.xml")));
        EXPECT_EQ(form.strInvoiceLastNumber, QStringLiteral("000005"));
        retype(form.DBEdit1, QStringLiteral("ИП Петров"));
        retype(form.DBEdit2, QStringLiteral("В 3"));
        retype(form.DBEdit3, QStringLiteral("01.01.2011"));
        retype(form.DBEdit6, QStringLiteral("Тула"));
        fillWaybillAndSave(form, QStringLiteral("77"), QStringLiteral("01.03.2012"));
    });
    m_window->SpeedButtonAddInvoice->click();
    Table &invoices = m_window->Views.ClientDataSetInvoice;
    ASSERT_EQ(invoices.recordCount(), 4);
    EXPECT_EQ(invoices.recNo(), 4); // the new invoice is selected
    EXPECT_EQ(invoices.asString(u"dkey"), QString::fromLatin1(declarationKey(6)));
    EXPECT_TRUE(invoices.asString(u"version").isEmpty()); // only the first invoice carries it
    EXPECT_EQ(m_window->DBGridInvoice->currentIndex().row(), 3);
    EXPECT_EQ(m_window->Views.ClientDataSetProduction.recordCount(), 0);
}

TEST_F(InvoiceCommandsTest, EmptyFieldsAndALateWaybillKeepTheDialogOpen)
{
    useDeclaration({row(declarationKey(1), kInvoiceFields)});
    const QByteArray before = readAll(declaration());
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TInvoiceForm &>(dialog);
        // A new invoice starts empty, whatever invoice the dialog's table opened on.
        EXPECT_TRUE(form.DBEdit1->text().isEmpty());
        QTest::mouseClick(form.AddButton, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(form.lblWarning->isVisibleTo(&form));
        EXPECT_EQ(form.DBEdit4->palette().color(QPalette::Base), QColor(0xFF, 0x88, 0x00));
        retype(form.DBEdit1, QStringLiteral("ООО"));
        retype(form.DBEdit2, QStringLiteral("А 1"));
        retype(form.DBEdit3, QStringLiteral("01.01.2011"));
        retype(form.DBEdit6, QStringLiteral("Тула"));
        fillWaybillAndSave(form, QStringLiteral("5"), QStringLiteral("01.04.2012")); // first day of the next month
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.lblWarning->isVisibleTo(&form));
        EXPECT_TRUE(form.LblWarningDate->isVisibleTo(&form));
        EXPECT_EQ(form.DBEdit5->palette().color(QPalette::Base), QColor(0xFF, 0x88, 0x00));
        EXPECT_EQ(form.DBEdit4->palette().color(QPalette::Base), QColor(Qt::white));
        retype(form.DBEdit5, QStringLiteral("15.01.2013")); // a later year
        QTest::mouseClick(form.AddButton, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        QTest::mouseClick(form.CancelButton, Qt::LeftButton);
    });
    m_window->editingCommands()->AddInvoiceActionExecute();
    EXPECT_EQ(readAll(declaration()), before); // cancelled: nothing written
    EXPECT_EQ(m_window->Views.ClientDataSetInvoice.recordCount(), 1);
}

TEST_F(InvoiceCommandsTest, EditingKeepsTheRowAndItsNumber)
{
    useDeclaration({row(declarationKey(1), kInvoiceFields), row(declarationKey(2), kInvoiceFields),
                    row(declarationKey(3), kInvoiceFields)});
    m_window->DBGridInvoice->setCurrentIndex(m_window->DBGridInvoice->model()->index(1, 0));
    ModalDriver driver([](QDialog &dialog) {
        auto &form = static_cast<TInvoiceForm &>(dialog);
        EXPECT_EQ(form.DataSetInvoice.asString(u"dkey"), QString::fromLatin1(declarationKey(2)));
        fillWaybillAndSave(form, QStringLiteral("Н-2"), QStringLiteral("02.03.2012"));
    });
    m_window->editingCommands()->EditInvoiceActionExecute();
    Table &invoices = m_window->Views.ClientDataSetInvoice;
    EXPECT_EQ(invoices.recordCount(), 3);
    EXPECT_EQ(invoices.recNo(), 2);
    EXPECT_EQ(invoices.asString(u"ttn_numer"), QStringLiteral("Н-2"));
    EXPECT_EQ(invoices.asString(u"dkey"), QString::fromLatin1(declarationKey(2)));
}

TEST_F(InvoiceCommandsTest, AnInvoiceIsDeletedOnlyWithoutPositionsAndAfterTheQuestion)
{
    useDeclaration({row(declarationKey(1), kInvoiceFields), row(declarationKey(1, 1), "rest=\"1.000\""),
                    row(declarationKey(2), kInvoiceFields), row(declarationKey(3), kInvoiceFields)});
    // The first invoice has a position: no delete, not even by the Delete key.
    EXPECT_FALSE(m_window->editingCommands()->DeleteInvoiceAction->isEnabled());
    EXPECT_FALSE(m_window->SpeedButton4->isEnabled());
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(m_window->DBGridInvoice, &release);
    EXPECT_EQ(m_window->Views.ClientDataSetInvoice.recordCount(), 3);

    m_window->DBGridInvoice->setCurrentIndex(m_window->DBGridInvoice->model()->index(2, 0));
    ASSERT_TRUE(m_window->editingCommands()->DeleteInvoiceAction->isEnabled());
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &form = static_cast<TDeleteForm &>(dialog);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Удаление"));
            EXPECT_EQ(form.Msg->text(), QStringLiteral("Удалить накладную?"));
            QTest::mouseClick(form.CancelButton, Qt::LeftButton);
        });
        QApplication::sendEvent(m_window->DBGridInvoice, &release);
    }
    EXPECT_EQ(m_window->Views.ClientDataSetInvoice.recordCount(), 3);
    {
        ModalDriver driver([](QDialog &dialog) {
            QTest::mouseClick(static_cast<TDeleteForm &>(dialog).DeleteButton, Qt::LeftButton);
        });
        m_window->editingCommands()->DeleteInvoiceActionExecute();
    }
    Table &invoices = m_window->Views.ClientDataSetInvoice;
    ASSERT_EQ(invoices.recordCount(), 2);
    EXPECT_EQ(invoices.recNo(), 2); // the third was deleted: the view stands on the second
    EXPECT_EQ(invoices.asString(u"dkey"), QString::fromLatin1(declarationKey(2)));
    EXPECT_EQ(dumpOfFile(declaration()).find(declarationKey(1, 1).toStdString()) != std::string::npos, true);
}

TEST_F(InvoiceCommandsTest, TheSeventhDigitIsRefusedAndNothingIsWritten)
{
    useDeclaration({row(declarationKey(999999), kInvoiceFields)});
    const QByteArray before = readAll(declaration());
    m_window->editingCommands()->AddInvoiceActionExecute(); // refused before any dialog
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("999999")));
    EXPECT_EQ(readAll(declaration()), before);
}
