#include "app/TAppSettings.h"
#include "gui/RefBookCommands.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/refbooks/CodeListForms.h"
#include "gui/refbooks/DepartmentCodeForms.h"
#include "gui/refbooks/ProductionReferenceForms.h"
#include "gui/refbooks/SupplierForms.h"
#include "store/TKalvor.h"
#include "store/Table.h"

#include "ModalDriver.h"
#include "support/SampleRequisites.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using kalvor::test::ModalDriver;

namespace {

const QString kLimit = QStringLiteral("Нельзя добавить подразделений больше чем указано в реквизитах - ");

// A reports folder with the delivered books and a requisites file declaring `departments` subdivisions.
class RefBooksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        for (const char *name : {"regions.xml", "production.xml", "department.xml", "supplier.xml", "prodReference.xml"})
            QFile::copy(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/reports/") + QString::fromLatin1(name), book(name));
        setDepartmentCount(QStringLiteral("2"));
    }

    QString book(const char *name) const { return m_dir.file(QString::fromLatin1(name)); }

    void setDepartmentCount(const QString &count)
    {
        const QString file = book("kalvor.xml");
        QFile::remove(file);
        QFile::copy(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), file);
        RequisitesEntry entry = test::sampleRequisites();
        entry.departmentCount = count;
        Table table(file);
        table.open();
        table.append();
        writeRequisitesEntry(table, entry);
        table.saveToFile();
    }

    static QStringList column(const QString &file, const char *field)
    {
        Table table(file);
        table.open();
        QStringList values;
        for (int i = 0; i < table.recordCount(); ++i)
            values << table.row(i).asString(QString::fromLatin1(field));
        return values;
    }

    // Adds a subdivision through the window's command and its dialog.
    static void addDepartment(TDepartmentCodeForm &form, const QString &code, const QString &address)
    {
        ModalDriver driver([&](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeDepartmentCodeForm &>(dialog);
            test::typeText(entry.DBEditCode, code);
            test::typeText(entry.DBEditAddress, address);
            QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
        });
        form.AddDepartmentActionExecute();
    }

    test::TempDir m_dir;
};

} // namespace

TEST_F(RefBooksTest, SubdivisionsStopAtTheNumberInTheRequisites)
{
    TDepartmentCodeForm form(book("department.xml"), book("kalvor.xml"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Обособленные подразделения"));
    EXPECT_FALSE(form.EditDepartmentAction->isEnabled());
    EXPECT_EQ(form.DBText1->text(), QStringLiteral("2"));

    addDepartment(form, QStringLiteral("71070002"), QStringLiteral("г. Тула, пр. Ленина, д. 45"));
    addDepartment(form, QStringLiteral("71070001"), QStringLiteral("г. Тула, ул. Советская, д. 10"));
    QStringList codes = column(book("department.xml"), "code");
    codes.sort();
    EXPECT_EQ(codes, (QStringList{QStringLiteral("71070001"), QStringLiteral("71070002")}));
    EXPECT_TRUE(form.EditDepartmentAction->isEnabled());
    // The window shows the new row where its code puts it.
    EXPECT_EQ(form.ClientDataSetDepartmentCode->asString(u"code"), QStringLiteral("71070001"));
    EXPECT_EQ(form.DBGrid1->currentIndex().row(), 0);

    // A third one is refused before any dialog opens.
    form.AddDepartmentActionExecute();
    EXPECT_EQ(MessageBoxes::shownTexts(), QStringList{kLimit + u'2'});
    EXPECT_EQ(column(book("department.xml"), "code").size(), 2);
}

TEST_F(RefBooksTest, LimitFollowsLoweredRequisitesAndZero)
{
    {
        TDepartmentCodeForm form(book("department.xml"), book("kalvor.xml"));
        addDepartment(form, QStringLiteral("1"), QStringLiteral("А"));
        addDepartment(form, QStringLiteral("2"), QStringLiteral("Б"));
    }
    setDepartmentCount(QStringLiteral("1"));
    TDepartmentCodeForm lowered(book("department.xml"), book("kalvor.xml"));
    lowered.AddDepartmentActionExecute();
    EXPECT_EQ(MessageBoxes::shownTexts().last(), kLimit + u'1');

    QFile::remove(book("department.xml"));
    QFile::copy(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/reports/department.xml"), book("department.xml"));
    setDepartmentCount(QStringLiteral("0"));
    TDepartmentCodeForm none(book("department.xml"), book("kalvor.xml"));
    none.AddDepartmentActionExecute();
    EXPECT_EQ(MessageBoxes::shownTexts().last(), kLimit + u'0');
}

TEST_F(RefBooksTest, SubdivisionEditCancelAndDelete)
{
    TDepartmentCodeForm form(book("department.xml"), book("kalvor.xml"));
    addDepartment(form, QStringLiteral("5"), QStringLiteral("Склад"));
    {
        // Cancel writes nothing.
        ModalDriver driver([](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeDepartmentCodeForm &>(dialog);
            test::retype(entry.DBEditAddress, QStringLiteral("Другой"));
            QTest::mouseClick(entry.ButtonCancel, Qt::LeftButton);
        });
        form.EditDepartmentActionExecute();
    }
    EXPECT_EQ(column(book("department.xml"), "address"), QStringList{QStringLiteral("Склад")});
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeDepartmentCodeForm &>(dialog);
            EXPECT_EQ(entry.DBEditCode->text(), QStringLiteral("5"));
            test::retype(entry.DBEditAddress, QStringLiteral("Магазин № 1"));
            QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
        });
        form.EditDepartmentActionExecute();
    }
    EXPECT_EQ(column(book("department.xml"), "address"), QStringList{QStringLiteral("Магазин № 1")});

    form.DeleteDepartmentActionExecute();
    EXPECT_TRUE(column(book("department.xml"), "code").isEmpty());
    EXPECT_FALSE(form.EditDepartmentAction->isEnabled());
    EXPECT_FALSE(form.DeleteDepartmentAction->isEnabled());
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

TEST_F(RefBooksTest, SupplierRoundTripKeepsTheWindowsOrder)
{
    TSupplierForm form(book("supplier.xml"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Поставщики"));
    const auto add = [&form](const QString &name, const QString &date) {
        ModalDriver driver([&](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeSupplierForm &>(dialog);
            EXPECT_EQ(entry.windowTitle(), QStringLiteral("Поставщик"));
            test::typeText(entry.DBEditName, name);
            test::typeText(entry.DBEditLicense, QStringLiteral("А 123456"));
            test::typeText(entry.DBEditLicenseDate, date);
            test::typeText(entry.DBEditLoadingAddress, QStringLiteral("г. Тула, ул. Складская, 1"));
            QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
        });
        form.AddSupplierActionExecute();
    };
    add(QStringLiteral("ООО \"Яблоко\""), QStringLiteral("01.02.2010"));
    add(QStringLiteral("ЗАО \"Альфа & Ко\""), QStringLiteral("1.3.10"));
    add(QStringLiteral("ООО \"Берёза\""), QStringLiteral("15.06.2011"));

    // Editing the second row of the window changes that supplier, whatever the file order is.
    form.DataSetSupplier->setRecNo(2);
    ASSERT_EQ(form.DataSetSupplier->asString(u"name"), QStringLiteral("ООО \"Берёза\""));
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeSupplierForm &>(dialog);
            EXPECT_EQ(entry.DBEditName->text(), QStringLiteral("ООО \"Берёза\""));
            test::retype(entry.DBEditLicense, QStringLiteral("Б 777"));
            QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
        });
        form.EditSupplierActionExecute();
    }
    Table saved(book("supplier.xml"));
    saved.setIndexFieldNames(QStringLiteral("name"));
    saved.open();
    ASSERT_EQ(saved.recordCount(), 3);
    saved.setRecNo(1);
    EXPECT_EQ(saved.asString(u"name"), QStringLiteral("ЗАО \"Альфа & Ко\""));
    EXPECT_EQ(saved.asDate(u"license_date"), QDate(2010, 3, 1));
    saved.setRecNo(2);
    EXPECT_EQ(saved.asString(u"license"), QStringLiteral("Б 777"));
    saved.setRecNo(3);
    EXPECT_EQ(saved.asString(u"license"), QStringLiteral("А 123456"));

    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(form.findChild<QToolButton *>(QStringLiteral("SpeedButtonDeleteSupplier")), Qt::LeftButton);
    EXPECT_TRUE(column(book("supplier.xml"), "name").isEmpty());
    EXPECT_FALSE(form.EditSupplierAction->isEnabled());
    EXPECT_FALSE(form.DeleteSupplierAction->isEnabled());
    EXPECT_TRUE(form.AddSupplierAction->isEnabled());
}

TEST_F(RefBooksTest, SupplierWrongDateKeepsTheDialogOpen)
{
    TSupplierForm form(book("supplier.xml"));
    ModalDriver driver([](QDialog &dialog) {
        auto &entry = dynamic_cast<TChangeSupplierForm &>(dialog);
        test::typeText(entry.DBEditName, QStringLiteral("ООО \"Ромашка\""));
        test::typeText(entry.DBEditLicenseDate, QStringLiteral("32.13.2010"));
        QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(MessageBoxes::shownTexts().isEmpty());
        QTest::mouseClick(entry.ButtonCancel, Qt::LeftButton);
    });
    form.AddSupplierActionExecute();
    EXPECT_TRUE(column(book("supplier.xml"), "name").isEmpty());
}

namespace {

void fillProduct(TChangeProductionReferenceForm &entry, const QString &name, const QString &volume)
{
    test::typeText(entry.DBEditProductionName, name);
    test::typeText(entry.DBEditProducerName, QStringLiteral("ОАО \"Тульский ЛВЗ\""));
    test::typeText(entry.DBEditPackageVolume, volume);
    entry.DBLookupComboBox3->setCurrentIndex(entry.DBLookupComboBox3->findData(QStringLiteral("1")));
    entry.DBLookupComboBox2->setCurrentIndex(entry.DBLookupComboBox2->findData(QStringLiteral("71")));
}

} // namespace

TEST_F(RefBooksTest, ProductEntryChecksPaintAndCopyKeepsHiddenFields)
{
    TProductionReferenceForm form(book("prodReference.xml"), book("production.xml"), book("regions.xml"));
    EXPECT_TRUE(form.openingProblem().isEmpty());
    EXPECT_FALSE(form.SpeedButton12->isEnabled());
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeProductionReferenceForm &>(dialog);
            // Nothing entered: every checked field is painted.
            QTest::mouseClick(entry.Button2, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            for (QWidget *field : {static_cast<QWidget *>(entry.DBEditProductionName),
                                   static_cast<QWidget *>(entry.DBEditProducerName),
                                   static_cast<QWidget *>(entry.DBEditPackageVolume),
                                   static_cast<QWidget *>(entry.DBLookupComboBox2),
                                   static_cast<QWidget *>(entry.DBLookupComboBox3)})
                EXPECT_TRUE(isPaintedWarning(field)) << field->objectName().toStdString();

            fillProduct(entry, QStringLiteral("Водка Пшеничная"), QStringLiteral("0"));
            QTest::mouseClick(entry.Button2, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(isPaintedWarning(entry.DBEditPackageVolume));
            EXPECT_FALSE(isPaintedWarning(entry.DBEditProductionName));
            EXPECT_FALSE(isPaintedWarning(entry.DBLookupComboBox2));

            test::retype(entry.DBEditPackageVolume, QStringLiteral("0,001"));
            // Not entered in this dialog, but carried by entries made elsewhere.
            entry.DBEditProductionNumber->setText(QStringLiteral("01.02.2012"));
            entry.DBEditAlcohol->setText(QStringLiteral("40"));
            QTest::mouseClick(entry.Button2, Qt::LeftButton);
        });
        form.AddProductionReferenceActionExecute();
    }
    ASSERT_EQ(form.DataSetProductionReference->recordCount(), 1);
    EXPECT_TRUE(form.SpeedButton12->isEnabled());
    {
        ModalDriver driver([](QDialog &dialog) {
            auto &entry = dynamic_cast<TChangeProductionReferenceForm &>(dialog);
            EXPECT_EQ(entry.DBEditProductionName->text(), QStringLiteral("Водка Пшеничная"));
            EXPECT_EQ(entry.DBLookupComboBox2->currentText(), QStringLiteral("Тульская область"));
            test::retype(entry.DBEditProductionName, QStringLiteral("Водка Пшеничная особая"));
            QTest::mouseClick(entry.Button2, Qt::LeftButton);
        });
        QTest::mouseClick(form.SpeedButton12, Qt::LeftButton);
    }
    Table saved(book("prodReference.xml"));
    saved.setIndexFieldNames(QStringLiteral("production_name"));
    saved.open();
    ASSERT_EQ(saved.recordCount(), 2);
    saved.last();
    EXPECT_EQ(saved.asString(u"production_name"), QStringLiteral("Водка Пшеничная особая"));
    EXPECT_EQ(saved.asString(u"production_number"), QStringLiteral("01.02.2012"));
    EXPECT_DOUBLE_EQ(saved.asFloat(u"alcohol"), 40.0);
    EXPECT_DOUBLE_EQ(saved.asFloat(u"package_volume"), 0.001);
    EXPECT_EQ(saved.asInteger(u"region_code"), 71);
    EXPECT_EQ(saved.asInteger(u"production_code"), 1);
}

TEST_F(RefBooksTest, ProductSearchByButtonsAndWhileTyping)
{
    {
        Table products;
        products.createEmpty(refBookFields(RefBook::ProductionReference));
        for (const char *name : {"Коньяк Старый", "Водка Пшеничная", "Вино Красное", "Водка Столичная"}) {
            products.append();
            products.setString(u"production_name", QString::fromUtf8(name));
            products.post();
        }
        products.saveToFile(book("prodReference.xml"));
    }
    TProductionReferenceForm form(book("prodReference.xml"), book("production.xml"), book("regions.xml"));
    const auto current = [&form] { return form.DataSetProductionReference->asString(u"production_name"); };
    EXPECT_EQ(current(), QStringLiteral("Вино Красное"));

    test::typeText(form.Edit1, QStringLiteral("ВОДК"));
    EXPECT_EQ(current(), QStringLiteral("Водка Пшеничная"));
    EXPECT_EQ(form.DBGridProductionReference->currentIndex().row(), 1);

    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(current(), QStringLiteral("Водка Столичная"));
    QTest::mouseClick(form.Button2, Qt::LeftButton); // nothing after: back to the earlier match
    EXPECT_EQ(current(), QStringLiteral("Водка Пшеничная"));
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(current(), QStringLiteral("Водка Пшеничная"));

    form.Edit1->clear();
    test::typeText(form.Edit1, QStringLiteral("жж")); // found nowhere
    EXPECT_EQ(current(), QStringLiteral("Водка Пшеничная"));

    // Picking a row in the grid moves the table with it.
    form.DBGridProductionReference->setCurrentIndex(form.DBGridProductionReference->model()->index(3, 0));
    EXPECT_EQ(current(), QStringLiteral("Коньяк Старый"));
}

TEST_F(RefBooksTest, MissingBooksAreNamedOnceAndTheListStaysEmpty)
{
    QFile::remove(book("regions.xml"));
    TRegionsForm regions(book("regions.xml"));
    EXPECT_EQ(regions.windowTitle(), QStringLiteral("Код субъекта Российской Федерации"));
    EXPECT_EQ(regions.DBGrid1->model()->rowCount(), 0);
    regions.show();
    QTest::qWait(20);
    regions.hide();
    regions.show();
    QTest::qWait(20);
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(book("regions.xml")));

    // The product window warns that nothing can be saved without the regions book.
    TProductionReferenceForm products(book("prodReference.xml"), book("production.xml"), book("regions.xml"));
    EXPECT_TRUE(products.openingProblem().contains(book("regions.xml")));

    // A vanished user book is made anew by its first entry.
    QFile::remove(book("supplier.xml"));
    TSupplierForm suppliers(book("supplier.xml"));
    EXPECT_TRUE(suppliers.openingProblem().contains(book("supplier.xml")));
    ModalDriver driver([](QDialog &dialog) {
        auto &entry = dynamic_cast<TChangeSupplierForm &>(dialog);
        test::typeText(entry.DBEditName, QStringLiteral("ООО \"Ромашка\""));
        QTest::mouseClick(entry.ButtonSave, Qt::LeftButton);
    });
    suppliers.AddSupplierActionExecute();
    EXPECT_EQ(column(book("supplier.xml"), "name"), QStringList{QStringLiteral("ООО \"Ромашка\"")});
    EXPECT_TRUE(suppliers.EditSupplierAction->isEnabled());
}

TEST_F(RefBooksTest, CodeListsShowTheDeliveredBooks)
{
    TKindProductionForm kinds(book("production.xml"));
    EXPECT_EQ(kinds.windowTitle(), QStringLiteral("Виды продукции"));
    ASSERT_EQ(kinds.DBGrid1->model()->rowCount(), 8);
    EXPECT_EQ(kinds.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Код"));
    EXPECT_EQ(kinds.DBGrid1->model()->index(2, 1).data().toString(), QStringLiteral("Коньяк"));
    TRegionsForm regions(book("regions.xml"));
    // Ordered by the number, not by its text: 9 comes before 10.
    EXPECT_EQ(regions.DBGrid1->model()->index(8, 0).data().toString(), QStringLiteral("9"));
    EXPECT_EQ(regions.DBGrid1->model()->index(9, 0).data().toString(), QStringLiteral("10"));
}

TEST_F(RefBooksTest, CommandsOfferTheFiveItemsInMenuOrder)
{
    TAppSettings settings;
    settings.SetSupplierFileName(book("supplier.xml"));
    settings.SetRegionsFileName(book("regions.xml"));
    settings.SetProductionFileName(book("production.xml"));
    settings.SetDepartmentCodeFileName(book("department.xml"));
    settings.SetProductionReferenceFileName(book("prodReference.xml"));
    settings.SetKalvorFileName(book("kalvor.xml"));
    RefBookCommands commands(settings, nullptr);
    QStringList shown;
    commands.setDialogRunner([&shown](QDialog &dialog) { shown << dialog.windowTitle(); });
    QObject owner;
    const QList<QAction *> actions = commands.createActions(&owner);
    QStringList captions, names;
    for (QAction *action : actions) {
        captions << action->text();
        names << action->objectName();
        action->trigger();
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Поставщики"), QStringLiteral("Регионы"), QStringLiteral("Виды продукции"),
                                     QStringLiteral("Обособленные подразделения"), QStringLiteral("Продукция")}));
    EXPECT_EQ(names, (QStringList{QStringLiteral("SupplierAction"), QStringLiteral("RegionCodeAction"),
                                  QStringLiteral("KindProductionAction"), QStringLiteral("DepartmentCodeAction"),
                                  QStringLiteral("ProductionReferenceAction")}));
    EXPECT_EQ(shown, (QStringList{QStringLiteral("Поставщики"), QStringLiteral("Код субъекта Российской Федерации"),
                                  QStringLiteral("Виды продукции"), QStringLiteral("Обособленные подразделения"),
                                  QStringLiteral("Справочник продукции")}));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}
