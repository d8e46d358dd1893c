#include "app/DemoWorkspace.h"
#include "gui/MainWindow.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/editing/DeleteForm.h"
#include "gui/editing/EditingCommands.h"
#include "gui/editing/EntryMarks.h"
#include "gui/editing/InnerTransferForm.h"
#include "gui/editing/ProductionForm.h"
#include "editing/TransferEditing.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/TempDir.h"
#include "ModalDriver.h"

#include "KalvorBuildInfo.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

QByteArray row(const QByteArray &key, const QByteArray &more = {}) { return "dkey=\"" + key + "\" " + more; }

const QByteArray kInvoice = "supply_name=\"ООО Вектор\" license=\"А 1\" license_date=\"20110101\" ttn_numer=\"ТН-7\" "
                            "ttn_date=\"20120305\" loading_address=\"Тула\" department_code=\"1\"";
// A complete position of 0.5 l packages with 10 l left, held by subdivision 1.
const QByteArray kPosition = "production_name=\"Водка Тульская\" production_number=\"01.02.12\" production_code=\"1\" "
                             "producer_name=\"ЗАО Тула\" region_code=\"71\" department_code=\"1\" alcohol=\"40.00\" "
                             "package_volume=\"0.500\" package_count=\"20\" volume=\"10.000\" purches_price=\"150.00\" "
                             "sum_coming=\"3.000\" return_volume=\"0.000\" rest_volume=\"0.000\" package_count_charges=\"0\" "
                             "volume_charges=\"0.000\" return_volume_charges=\"0.000\" writeoff_volume_charges=\"0.000\" "
                             "other_charges=\"0.000\" rest=\"10.000\"";

// Leaves an entry for another, as a click elsewhere would.
void leave(QWidget *entry)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(entry, &out);
}

void enter(QWidget *entry, const QString &text)
{
    retype(entry, text);
    leave(entry);
}

class PositionTransferCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        createDemoWorkspace(m_dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        m_dir.write(QStringLiteral("reports/department.xml"),
                    handWrittenPacket("<FIELD attrname=\"code\" fieldtype=\"string\" WIDTH=\"30\" />\r\n"
                                      "<FIELD attrname=\"address\" fieldtype=\"string\" WIDTH=\"100\" />\r\n",
                                      ansi("<ROW code=\"1\" address=\"Тула, Ленина 1\" />\r\n"
                                           "<ROW code=\"2\" address=\"Орёл, Мира 2\" />\r\n"
                                           "<ROW code=\"3а\" address=\"Склад\" />\r\n")));
        m_dir.write(QStringLiteral("reports/prodReference.xml"),
                    handWrittenPacket("<FIELD attrname=\"production_name\" fieldtype=\"string\" WIDTH=\"70\" />\r\n"
                                      "<FIELD attrname=\"production_number\" fieldtype=\"string\" WIDTH=\"50\" />\r\n"
                                      "<FIELD attrname=\"production_code\" fieldtype=\"i2\" />\r\n"
                                      "<FIELD attrname=\"producer_name\" fieldtype=\"string\" WIDTH=\"50\" />\r\n"
                                      "<FIELD attrname=\"region_code\" fieldtype=\"i2\" />\r\n"
                                      "<FIELD attrname=\"alcohol\" fieldtype=\"fixed\" DECIMALS=\"2\" WIDTH=\"6\" />\r\n"
                                      "<FIELD attrname=\"package_volume\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\" />\r\n",
                                      ansi("<ROW production_name=\"Водка Тульская\" production_code=\"1\" "
                                           "producer_name=\"ЗАО Тула\" region_code=\"71\" alcohol=\"40.00\" "
                                           "package_volume=\"0.500\" />\r\n")));
        m_window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), m_dir.path()}, m_dir.path());
        m_window->FormCreate();
        ASSERT_TRUE(MessageBoxes::shownTexts().isEmpty());
    }
    void TearDown() override { MessageBoxes::clearShownTexts(); }

    void useDeclaration(const QList<QByteArray> &rows, const ViewCursor &at = ViewCursor())
    {
        m_window->Views.close();
        const QFileInfo file(m_window->AppSettings->FDeclarationFileName);
        writeDeclaration(file.path(), file.fileName(), rows);
        ASSERT_TRUE(m_window->reopenViews(at));
    }
    Table &positions() { return m_window->Views.ClientDataSetProduction; }
    Table &transfers() { return m_window->Views.ClientDataSetTransfer; }
    bool shown(const QString &text) const { return MessageBoxes::shownTexts().contains(text); }

    TempDir m_dir;
    std::unique_ptr<TMainForm> m_window;
};

// Fills the quantities of an open position dialog, leaving each entry.
void fillQuantities(TProductionForm &form)
{
    enter(form.DBEdit1, QStringLiteral("5"));
    enter(form.DBEditReturnVolume, QStringLiteral("1"));
    enter(form.DBEditPackageCount, QStringLiteral("20"));
    enter(form.DBEditPurchesPrice, QStringLiteral("150"));
    enter(form.DBEditPackageCountCharges, QStringLiteral("12"));
    enter(form.DBEditReturnVolumeCharges, QStringLiteral("1"));
    enter(form.DBEditWriteVolumeCharges, QStringLiteral("0,5"));
}

} // namespace

TEST_F(PositionTransferCommandsTest, APositionFromTheReferenceFollowsTheArithmeticAndTakesTheWaybill)
{
    useDeclaration({row(declarationKey(1), kInvoice)});
    ASSERT_TRUE(m_window->editingCommands()->AddProductionAction->isEnabled());
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Продукция"));
            EXPECT_EQ(form.SupplierLabel->text(), QStringLiteral("ООО Вектор"));
            EXPECT_EQ(form.TTNNumberLabel->text(), QStringLiteral("ТН-7"));
            EXPECT_EQ(form.DBLookupComboBox1->currentKey(), QStringLiteral("1")); // the invoice's subdivision
            ASSERT_EQ(form.DBLookupComboBoxProductionName->count(), 1);
            // Chosen with the keys (or the wheel): the product's fields follow as from the list.
            QTest::keyClick(form.DBLookupComboBoxProductionName, Qt::Key_Down);
            EXPECT_EQ(form.DBEditProductionName->text(), QStringLiteral("Водка Тульская"));
            EXPECT_EQ(form.DBEditProducerName->text(), QStringLiteral("ЗАО Тула"));
            EXPECT_EQ(form.DBEditPackageVolume->text(), QStringLiteral("0,500"));
            EXPECT_EQ(form.DBLookupComboBox3->currentKey(), QStringLiteral("1"));
            // Letters do not go into the dates of manufacture.
            typeText(form.DBEditProductionNumber, QStringLiteral("01.02.12x"));
            EXPECT_EQ(form.DBEditProductionNumber->text(), QStringLiteral("01.02.12"));
            leave(form.DBEditProductionNumber);
            fillQuantities(form);
            EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty()) << MessageBoxes::shownTexts().join(u'|').toStdString();
        EXPECT_EQ(form.DBTextVolume->text(), QStringLiteral("10,000"));
            EXPECT_EQ(form.DBTextSumComing->text(), QStringLiteral("3,000"));
            EXPECT_EQ(form.DBTextVolumeCharges->text(), QStringLiteral("6,000"));
            EXPECT_EQ(form.DBTextRest->text(), QStringLiteral("8,500")); // 10 + 5 + 1 - 6 - 1 - 0.5
            EXPECT_EQ(form.LabelRestVolume->text(), QStringLiteral("10"));
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
        });
        m_window->SpeedButton6->click();
    }
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
    ASSERT_EQ(positions().recordCount(), 1);
    EXPECT_EQ(positions().recNo(), 1);
    EXPECT_EQ(positions().asString(u"dkey"), QString::fromLatin1(declarationKey(1, 1)));
    EXPECT_EQ(positions().asString(u"production_name"), QStringLiteral("Водка Тульская"));
    EXPECT_EQ(positions().asString(u"volume"), QStringLiteral("10.000"));
    EXPECT_EQ(positions().asString(u"sum_coming"), QStringLiteral("3.000"));
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("8.500"));
    EXPECT_EQ(positions().asString(u"alcohol"), QStringLiteral("40.00"));
    EXPECT_EQ(positions().asString(u"other_charges"), QStringLiteral("0.000"));
    EXPECT_EQ(positions().asString(u"supply_name"), QStringLiteral("ООО Вектор"));
    EXPECT_EQ(positions().asString(u"ttn_numer"), QStringLiteral("ТН-7"));
    EXPECT_EQ(positions().asDate(u"ttn_date"), QDate(2012, 3, 5));
    EXPECT_EQ(positions().asString(u"department_code"), QStringLiteral("1"));
    EXPECT_TRUE(m_window->editingCommands()->AddInnerTransferAction->isEnabled());
}

TEST_F(PositionTransferCommandsTest, TheChecksOfANewPositionKeepTheDialogOpenUntilMet)
{
    useDeclaration({row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition),
                    row(declarationKey(1, 2), kPosition)});
    {
        ModalDriver driver([this](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_TRUE(form.databool);
            EXPECT_EQ(form.strProductionLastNumber, QStringLiteral("000002"));
            // Nothing typed: the warning and the marks, and no closing.
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(form.lblWarning->isVisibleTo(&form));
            EXPECT_TRUE(hasWarningMark(form.DBEditProductionName));
            EXPECT_TRUE(hasWarningMark(form.DBLookupComboBox3));
            EXPECT_FALSE(hasWarningMark(form.DBLookupComboBox1)); // the invoice's subdivision is there
            // Quantities left empty count as none; the package volume must still be typed.
            EXPECT_EQ(form.DBEditReturnVolume->text(), QStringLiteral("0,000"));
            EXPECT_FALSE(hasWarningMark(form.DBEditReturnVolume));
            EXPECT_TRUE(hasWarningMark(form.DBEditPackageVolume));
            // The displays the arithmetic fills keep the dialog's look after a refused save.
            EXPECT_FALSE(form.DBTextRest->autoFillBackground());
            EXPECT_NE(form.DBTextRest->palette().color(QPalette::Window), QColor(Qt::white));
            // The product book is opened with the mouse: Tab goes from the name on to the date.
            EXPECT_FALSE(form.Button1->focusPolicy() & Qt::TabFocus);
            // An empty package count is no count: it counts as 0 and is not suspicious.
            EXPECT_FALSE(shown(QStringLiteral("Возможно количество тары в приходе больше допустимого значения или меньше 0")));

            // Chosen with the keys (or the wheel): the product's fields follow as from the list.
            QTest::keyClick(form.DBLookupComboBoxProductionName, Qt::Key_Down);
            enter(form.DBEditProductionNumber, QStringLiteral("1.02.12"));
            fillQuantities(form);
            enter(form.DBEditPackageCount, QStringLiteral("1001"));
            MessageBoxes::clearShownTexts();
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(shown(QStringLiteral("Формат даты - дд.мм.гг/.../дд.мм.гг")));
            EXPECT_FALSE(form.lblWarning->isVisibleTo(&form));
            EXPECT_TRUE(hasWarningMark(form.DBEditProductionNumber));

            // Two dates with a one-digit day: 16 characters, accepted; the count warning does not stop it.
            enter(form.DBEditProductionNumber, QStringLiteral("01.02.12/5.03.12"));
            MessageBoxes::clearShownTexts();
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
            EXPECT_TRUE(shown(QStringLiteral("Возможно количество тары в приходе больше допустимого значения или меньше 0")));
            EXPECT_FALSE(form.isVisible());
        });
        m_window->editingCommands()->AddProductionActionExecute();
    }
    ASSERT_EQ(positions().recordCount(), 3);
    EXPECT_EQ(positions().recNo(), 3);
    EXPECT_EQ(positions().asString(u"dkey"), QString::fromLatin1(declarationKey(1, 3)));
    EXPECT_EQ(positions().asString(u"volume"), QStringLiteral("500.500"));
}

TEST_F(PositionTransferCommandsTest, ACopyTakesTheProductAndTheWaybillButNoDateRuleAndNeedsAKnownKind)
{
    useDeclaration({row(declarationKey(1), kInvoice),
                    row(declarationKey(1, 1), QByteArray(kPosition).replace("01.02.12", "1.02.12")),
                    row(declarationKey(1, 2), QByteArray(kPosition).replace("production_code=\"1\"", "production_code=\"99\""))},
                   {1, 2, 1});
    // The position with an unknown kind: its copy cannot be saved until a kind is chosen.
    {
        ModalDriver unknownKind([](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_EQ(form.DBLookupComboBoxProductionName->count(), 0); // no products offered to a copy
            EXPECT_EQ(form.DBEditProductionName->text(), QStringLiteral("Водка Тульская"));
            fillQuantities(form);
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(hasWarningMark(form.DBLookupComboBox3));
            form.reject();
        });
        m_window->editingCommands()->CopyProductionActionExecute();
    }
    EXPECT_EQ(positions().recordCount(), 2);

    useDeclaration({row(declarationKey(1), kInvoice),
                    row(declarationKey(1, 1), QByteArray(kPosition).replace("01.02.12", "1.02.12").replace("department_code=\"1\"", "department_code=\"2\""))});
    {
        ModalDriver copy([](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_FALSE(form.databool);
            EXPECT_EQ(form.DBEditProductionNumber->text(), QStringLiteral("1.02.12"));
            EXPECT_EQ(form.DBLookupComboBox1->currentKey(), QStringLiteral("2")); // the copied position's subdivision
            EXPECT_EQ(form.DBEditPackageVolume->text(), QStringLiteral("0,500"));
        EXPECT_TRUE(form.DBEditPackageCount->text().isEmpty()); // quantities are typed anew
            fillQuantities(form);
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
            EXPECT_FALSE(form.isVisible());
        });
        m_window->SpeedButton12->click();
    }
    ASSERT_EQ(positions().recordCount(), 2);
    EXPECT_EQ(positions().recNo(), 2);
    EXPECT_EQ(positions().asString(u"dkey"), QString::fromLatin1(declarationKey(1, 2)));
    EXPECT_EQ(positions().asString(u"production_number"), QStringLiteral("1.02.12"));
    EXPECT_EQ(positions().asString(u"department_code"), QStringLiteral("2"));
    EXPECT_EQ(positions().asString(u"supply_name"), QStringLiteral("ООО Вектор"));
    EXPECT_EQ(positions().asString(u"ttn_numer"), QStringLiteral("ТН-7"));
    EXPECT_EQ(positions().asDate(u"ttn_date"), QDate(2012, 3, 5));
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("8.500"));
    EXPECT_EQ(positions().asString(u"alcohol"), QStringLiteral("40.00"));
}

TEST_F(PositionTransferCommandsTest, EditingKeepsTheSubdivisionOfAPositionWithTransfersAndDeletingRenumbers)
{
    useDeclaration({row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition),
                    row(declarationKey(1, 2), kPosition),
                    row(declarationKey(1, 2, 1), "department_code=\"2\" other_coming=\"1.000\" rest=\"1.000\""),
                    row(declarationKey(1, 3), kPosition)},
                   {1, 2, 1});
    EXPECT_FALSE(m_window->editingCommands()->DeleteProductionAction->isEnabled());
    {
        ModalDriver edit([](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_FALSE(form.databool);
            EXPECT_FALSE(form.DBLookupComboBox1->isEnabled());
            enter(form.DBEditPackageCountCharges, QStringLiteral("4"));
            EXPECT_EQ(form.DBTextRest->text(), QStringLiteral("8,000"));
            QTest::mouseClick(form.SaveButton, Qt::LeftButton);
        });
        m_window->SpeedButton7->click();
    }
    EXPECT_EQ(positions().recNo(), 2);
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("8.000"));
    EXPECT_EQ(positions().asString(u"department_code"), QStringLiteral("1"));

    // Delete on a position with transfers does nothing, whatever the keyboard tries.
    MessageBoxes::clearShownTexts();
    {
        ModalDriver confirm([](QDialog &dialog) {
            QTest::mouseClick(static_cast<TDeleteForm &>(dialog).DeleteButton, Qt::LeftButton);
        });
        m_window->editingCommands()->DeleteProductionActionExecute();
    }
    EXPECT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_EQ(positions().recordCount(), 3);

    useDeclaration({row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition),
                    row(declarationKey(1, 2), kPosition), row(declarationKey(1, 3), kPosition)},
                   {1, 3, 1});
    ASSERT_TRUE(m_window->editingCommands()->DeleteProductionAction->isEnabled());
    {
        ModalDriver confirm([](QDialog &dialog) {
            auto &form = static_cast<TDeleteForm &>(dialog);
            EXPECT_EQ(form.Msg->text(), QStringLiteral("Удалить продукцию?"));
            QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
        });
        m_window->SpeedButton5->click();
    }
    ASSERT_EQ(positions().recordCount(), 2);
    EXPECT_EQ(positions().recNo(), 2);
    // The freed greatest number is given again.
    {
        ModalDriver add([](QDialog &dialog) {
            auto &form = static_cast<TProductionForm &>(dialog);
            EXPECT_EQ(form.strProductionLastNumber, QStringLiteral("000002"));
            form.reject();
        });
        m_window->editingCommands()->AddProductionActionExecute();
    }
}

TEST_F(PositionTransferCommandsTest, ATransferIsAddedChangedAndDeletedWithItsSourceInStep)
{
    useDeclaration({row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition)});
    ASSERT_TRUE(m_window->editingCommands()->AddInnerTransferAction->isEnabled());
    {
        ModalDriver add([](QDialog &dialog) {
            auto &form = static_cast<TInnerTransferForm &>(dialog);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Внутреннее перемещение"));
            EXPECT_EQ(form.codeValue, QStringLiteral("1"));
            // The sending subdivision is never offered.
            ASSERT_EQ(form.DBLookupComboBox1->count(), 2);
            EXPECT_EQ(form.DBLookupComboBox1->findData(QStringLiteral("1")), -1);
            EXPECT_EQ(form.DBTextDepartmentCodeInner->text(), QStringLiteral("1"));
            typeText(form.Edit1, QStringLiteral("4x"));
            EXPECT_EQ(form.Edit1->text(), QStringLiteral("4"));
            EXPECT_EQ(form.DBText1->text(), QStringLiteral("2,000"));
            EXPECT_EQ(form.DBTextOtherComing->text(), QStringLiteral("2,000"));
            form.DBLookupComboBox1->setCurrentIndex(form.DBLookupComboBox1->findData(QStringLiteral("2")));
            form.DBLookupComboBox1->commit();
            enter(form.DBEditPackageCountCharges, QStringLiteral("1"));
            enter(form.DBEditReturnVolumeCharges, QStringLiteral("0"));
            enter(form.DBEdit1, QStringLiteral("0"));
            EXPECT_EQ(form.DBTextRest->text(), QStringLiteral("1,500"));
            QTest::mouseClick(form.ButtonSave, Qt::LeftButton);
            EXPECT_FALSE(form.isVisible());
        });
        m_window->SpeedButton2->click();
    }
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
    ASSERT_EQ(transfers().recordCount(), 1);
    EXPECT_EQ(transfers().asString(u"dkey"), QString::fromLatin1(declarationKey(1, 1, 1)));
    EXPECT_EQ(transfers().asString(u"other_coming"), QStringLiteral("2.000"));
    EXPECT_EQ(transfers().asString(u"department_code"), QStringLiteral("2"));
    EXPECT_EQ(transfers().asString(u"alcohol"), QStringLiteral("40.00"));
    EXPECT_EQ(positions().asString(u"other_charges"), QStringLiteral("2.000"));
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("8.000"));
    EXPECT_EQ(positions().asString(u"department_code_inner_charges"), QStringLiteral("0"));
    EXPECT_FALSE(m_window->editingCommands()->DeleteProductionAction->isEnabled());

    {
        ModalDriver edit([](QDialog &dialog) {
            auto &form = static_cast<TInnerTransferForm &>(dialog);
            EXPECT_EQ(form.Edit1->text(), QStringLiteral("4"));
            retype(form.Edit1, QStringLiteral("6"));
            EXPECT_EQ(form.DBTextRest->text(), QStringLiteral("2,500"));
            QTest::mouseClick(form.ButtonSave, Qt::LeftButton);
        });
        m_window->SpeedButton8->click();
    }
    EXPECT_EQ(transfers().asString(u"other_coming"), QStringLiteral("3.000"));
    EXPECT_EQ(positions().asString(u"other_charges"), QStringLiteral("3.000"));
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("7.000"));

    {
        ModalDriver confirm([](QDialog &dialog) {
            auto &form = static_cast<TDeleteForm &>(dialog);
            EXPECT_EQ(form.Msg->text(), QStringLiteral("Удалить внутреннее перемещение?"));
            QTest::mouseClick(form.DeleteButton, Qt::LeftButton);
        });
        m_window->SpeedButton9->click();
    }
    EXPECT_EQ(transfers().recordCount(), 0);
    EXPECT_EQ(positions().asString(u"other_charges"), QStringLiteral("0.000"));
    EXPECT_EQ(positions().asString(u"rest"), QStringLiteral("10.000"));
    EXPECT_TRUE(m_window->editingCommands()->DeleteProductionAction->isEnabled());
}

TEST_F(PositionTransferCommandsTest, AFailedTransferDeletionWritesNothingNowOrWhenTheViewsReopen)
{
    // The source's other_charges cannot hold litres in this file, so the booking fails after the
    // transfer row was taken out.
    useDeclaration({row(declarationKey(1), kInvoice),
                    row(declarationKey(1, 1), "production_name=\"Водка\" package_volume=\"0.500\" rest=\"9.000\""),
                    row(declarationKey(1, 1, 1), "department_code=\"2\" other_coming=\"1.000\" rest=\"1.000\"")});
    m_window->Views.close();
    const QString file = m_window->AppSettings->FDeclarationFileName;
    QByteArray packet = readAll(file);
    packet.replace("attrname=\"other_charges\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\"",
                   "attrname=\"other_charges\" fieldtype=\"boolean\"");
    m_dir.write(QDir(m_dir.path()).relativeFilePath(file), packet);
    ASSERT_TRUE(m_window->reopenViews({1, 1, 1}));
    ASSERT_EQ(transfers().recordCount(), 1);
    {
        ModalDriver confirm([](QDialog &dialog) {
            QTest::mouseClick(static_cast<TDeleteForm &>(dialog).DeleteButton, Qt::LeftButton);
        });
        m_window->SpeedButton9->click();
    }
    EXPECT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_EQ(transfers().recordCount(), 1);
    ASSERT_TRUE(m_window->reopenViews({1, 1, 1}));
    m_window->Views.close();
    EXPECT_EQ(readAll(file), packet);
}

TEST_F(PositionTransferCommandsTest, RefusedTransfersLeaveTheDialogOpenAndWriteNothing)
{
    const QList<QByteArray> rows{row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition),
                                 row(declarationKey(1, 1, 1), "department_code=\"2\" department_code_inner=\"1\" "
                                                              "package_volume=\"0.500\" other_coming=\"1.250\" rest=\"1.250\"")};
    useDeclaration(rows);
    const QString file = m_window->AppSettings->FDeclarationFileName;
    const auto fileText = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray original = fileText();

    {
        ModalDriver add([this](QDialog &dialog) {
            auto &form = static_cast<TInnerTransferForm &>(dialog);
            EXPECT_EQ(form.strTransferLastNumber, QStringLiteral("01"));
            enter(form.DBEditPackageCountCharges, QStringLiteral("0"));
            enter(form.DBEditReturnVolumeCharges, QStringLiteral("0"));
            enter(form.DBEdit1, QStringLiteral("0"));
            form.DBLookupComboBox1->setCurrentIndex(form.DBLookupComboBox1->findData(QStringLiteral("2")));
            form.DBLookupComboBox1->commit();
            // No package count: only that entry is marked, and no message.
            QTest::mouseClick(form.ButtonSave, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(hasWarningMark(form.Edit1));
            for (QWidget *other : std::initializer_list<QWidget *>{form.DBEditPackageCountCharges, form.DBEditReturnVolumeCharges,
                                                                   form.DBEdit1, form.DBTextRest, form.DBLookupComboBox1})
                EXPECT_FALSE(hasWarningMark(other)) << other->objectName().toStdString();
            EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
            // A receiving code that is not a number is named, and the dialog stays.
            typeText(form.Edit1, QStringLiteral("2"));
            form.DBLookupComboBox1->setCurrentIndex(form.DBLookupComboBox1->findData(QStringLiteral("3а")));
            form.DBLookupComboBox1->commit();
            QTest::mouseClick(form.ButtonSave, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(hasWarningMark(form.DBLookupComboBox1));
            EXPECT_TRUE(shown(transfer::departmentNotNumberMessage(QStringLiteral("3а"))));
            form.reject();
        });
        m_window->editingCommands()->AddInnerTransferActionExecute();
    }
    EXPECT_EQ(fileText(), original);

    // 1.25 l of 0.5 l packages: the count shows as it is and must be made whole.
    MessageBoxes::clearShownTexts();
    {
        ModalDriver edit([this](QDialog &dialog) {
            auto &form = static_cast<TInnerTransferForm &>(dialog);
            EXPECT_EQ(form.Edit1->text(), QStringLiteral("2,5"));
            enter(form.DBEditPackageCountCharges, QStringLiteral("0"));
            enter(form.DBEditReturnVolumeCharges, QStringLiteral("0"));
            enter(form.DBEdit1, QStringLiteral("0"));
            QTest::mouseClick(form.ButtonSave, Qt::LeftButton);
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(shown(transfer::packageCountNotWholeMessage()));
            EXPECT_TRUE(hasWarningMark(form.Edit1));
            form.reject();
        });
        m_window->editingCommands()->EditInnerTransferActionExecute();
    }
    EXPECT_EQ(fileText(), original);
}

TEST_F(PositionTransferCommandsTest, TheHundredthTransferIsRefusedBeforeTheDialog)
{
    useDeclaration({row(declarationKey(1), kInvoice), row(declarationKey(1, 1), kPosition),
                    row(declarationKey(1, 1, 99), "department_code=\"2\" other_coming=\"0.500\"")});
    m_window->editingCommands()->AddInnerTransferActionExecute();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("99 внутренних перемещений")));
    EXPECT_EQ(transfers().recordCount(), 1);
}
