#include "gui/EssentialForm.h"
#include "gui/FirstStartDialogs.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/editing/EntryMarks.h"
#include "store/TKalvor.h"
#include "store/Table.h"

#include "ModalDriver.h"
#include "support/SampleRequisites.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kalvor;
using kalvor::gui::MessageBoxes;
using kalvor::gui::TEssentialForm;
using kalvor::test::ModalDriver;

namespace {

// Types the entry into the dialog's fields as a user would.
void fill(TEssentialForm &form, const RequisitesEntry &e)
{
    const std::pair<QWidget *, const QString *> fields[] = {
        {form.organization_name, &e.organizationName}, {form.dkey, &e.dkey}, {form.low_address, &e.lowAddress},
        {form.post_address, &e.postAddress}, {form.department_count, &e.departmentCount},
        {form.license_serial, &e.licenseSerial}, {form.license_number, &e.licenseNumber},
        {form.license_date, &e.licenseDate}, {form.license_deadline, &e.licenseDeadline},
        {form.name_leader, &e.nameLeader}, {form.name_counter, &e.nameCounter},
    };
    for (const auto &[edit, text] : fields)
        if (!text->isEmpty())
            test::retype(edit, *text);
}

class EssentialFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MessageBoxes::clearShownTexts();
        m_file = m_dir.file(QStringLiteral("kalvor.xml"));
        QFile::copy(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), m_file);
    }

    // A requisites file as the first start leaves it.
    void saveValidFile()
    {
        Table table(m_file);
        table.open();
        table.append();
        writeRequisitesEntry(table, test::sampleRequisites());
        table.post();
        table.saveToFile();
    }

    int refusals() const { return static_cast<int>(MessageBoxes::shownTexts().count(requisitesRefusedMessage())); }

    test::TempDir m_dir;
    QString m_file;
};

} // namespace

TEST_F(EssentialFormTest, NamesCaptionAndButtons)
{
    TEssentialForm form(m_file);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Сведения о Калворе"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(form.Save->text(), QStringLiteral("Сохранить"));
    EXPECT_EQ(form.Cancel->text(), QStringLiteral("Отмена"));
    for (const char *name : {"organization_name", "dkey", "low_address", "post_address", "department_count",
             "license_serial", "license_number", "license_date", "license_deadline", "name_leader", "name_counter"})
        EXPECT_NE(form.findChild<QLineEdit *>(QString::fromLatin1(name)), nullptr) << name;
    // Widths come from the template: an INN has at most 12 characters.
    EXPECT_EQ(form.dkey->maxLength(), 12);
}

TEST_F(EssentialFormTest, RefusedEntriesKeepTheDialogOpenUntilCorrected)
{
    struct Case {
        const char *what;
        QString RequisitesEntry::*field;
        QString bad;
        QString corrected;
    };
    const Case cases[] = {
        {"no subdivisions", &RequisitesEntry::departmentCount, QStringLiteral("0"), QStringLiteral("1")},
        {"INN of 9 digits", &RequisitesEntry::dkey, QStringLiteral("123456789"), QStringLiteral("123456789012")},
        {"no chief accountant", &RequisitesEntry::nameCounter, QString(), QStringLiteral("Петрова А. С.")},
        {"no licence date", &RequisitesEntry::licenseDate, QString(), QStringLiteral("1.2.2010")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MessageBoxes::clearShownTexts();
        QFile::remove(m_file);
        QFile::copy(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), m_file);
        TEssentialForm form(m_file);
        RequisitesEntry entry = test::sampleRequisites();
        entry.*c.field = c.bad;
        const RequisitesEntry corrected = [&] {
            RequisitesEntry e = test::sampleRequisites();
            e.*c.field = c.corrected;
            return e;
        }();

        ModalDriver driver([&](QDialog &dialog) {
            fill(form, entry);
            QTest::mouseClick(form.Save, Qt::LeftButton);
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(refusals(), 1);
            fill(form, corrected);
            QTest::mouseClick(form.Save, Qt::LeftButton);
        });
        ASSERT_EQ(form.exec(), QDialog::Accepted);
        EXPECT_EQ(refusals(), 1);
        EXPECT_EQ(requisitesEntryOf(form.table().currentRow()).*c.field,
                  c.field == &RequisitesEntry::licenseDate ? QStringLiteral("01.02.2010") : c.corrected);
    }
}

TEST_F(EssentialFormTest, SavedEntryKeepsTypedValuesInTheirColumnTypes)
{
    TEssentialForm form(m_file);
    ModalDriver driver([&](QDialog &) {
        fill(form, test::sampleRequisites());
        QTest::mouseClick(form.Save, Qt::LeftButton);
    });
    ASSERT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
    form.table().saveToFile();

    Table reread(m_file);
    reread.open();
    ASSERT_EQ(reread.recordCount(), 1);
    const TKalvor kalvor = TKalvor::Create(&reread);
    EXPECT_EQ(kalvor.FName, QStringLiteral("ООО Ромашка"));
    EXPECT_EQ(kalvor.FINN, QStringLiteral("1234567890"));
    EXPECT_EQ(kalvor.FDepartmentCount, 1);
    EXPECT_EQ(kalvor.FLicenseDeadline, QDate(2012, 12, 31));
    EXPECT_EQ(kalvor.FNameCounter, QStringLiteral("Петрова А. С."));
}

TEST_F(EssentialFormTest, KeyboardActivationIsValidatedLikeTheMouse)
{
    TEssentialForm form(m_file);
    RequisitesEntry incomplete = test::sampleRequisites();
    incomplete.nameCounter.clear();
    ModalDriver driver([&](QDialog &dialog) {
        fill(form, incomplete);
        // Enter in a field goes to the default button.
        QTest::keyClick(form.name_leader, Qt::Key_Return);
        EXPECT_TRUE(dialog.isVisible());
        // Space on the focused button.
        form.Save->setFocus();
        QTest::keyClick(form.Save, Qt::Key_Space);
        EXPECT_TRUE(dialog.isVisible());
        form.Save->animateClick();
        QTest::qWait(300);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(refusals(), 3);
        // The refused entry is marked as in the other entry dialogs, and only that one.
        EXPECT_TRUE(hasWarningMark(form.name_counter));
        EXPECT_FALSE(hasWarningMark(form.name_leader));

        test::retype(form.name_counter, QStringLiteral("Петрова А. С."));
        test::retype(form.department_count, QStringLiteral("0"));
        form.Save->click();
        EXPECT_FALSE(hasWarningMark(form.name_counter));
        EXPECT_TRUE(hasWarningMark(form.department_count));
        EXPECT_EQ(refusals(), 4);
        test::retype(form.department_count, QStringLiteral("1"));
        QTest::keyClick(form.department_count, Qt::Key_Enter);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(refusals(), 4);
}

TEST_F(EssentialFormTest, BadNumberIsRefusedWhenTheFieldIsLeft)
{
    TEssentialForm form(m_file);
    ModalDriver driver([&](QDialog &dialog) {
        fill(form, test::sampleRequisites());
        test::retype(form.department_count, QStringLiteral("два"));
        QTest::keyClick(form.department_count, Qt::Key_Return);
        // The type error is shown once; Enter does not go on to "Сохранить".
        ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
        EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("целым числом")));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(form.department_count->text(), QStringLiteral("два"));
        test::retype(form.department_count, QStringLiteral("3"));
        QTest::keyClick(form.department_count, Qt::Key_Return);
    });
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    EXPECT_EQ(form.table().asInteger(u"department_count"), 3);
}

TEST_F(EssentialFormTest, FirstStartEditorSavesOrIsLeftByEscape)
{
    Table scratch(m_file);
    scratch.open();
    {
        // No "Отмена" at the first start; Escape leaves, and the start then writes nothing.
        ModalDriver driver([](QDialog &dialog) {
            EXPECT_FALSE(static_cast<TEssentialForm &>(dialog).Cancel->isEnabled());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        EXPECT_FALSE(gui::requisitesEditorDialog(nullptr)(scratch));
    }
    bool saved = false;
    ModalDriver driver([&](QDialog &dialog) {
        auto &form = static_cast<TEssentialForm &>(dialog);
        fill(form, test::sampleRequisites());
        QTest::mouseClick(form.Save, Qt::LeftButton);
    });
    saved = gui::requisitesEditorDialog(nullptr)(scratch);
    EXPECT_TRUE(saved);
    // The editor leaves the row posted for the start-up to save.
    EXPECT_EQ(scratch.state(), Table::State::Browse);
    EXPECT_EQ(scratch.asString(u"dkey"), QStringLiteral("1234567890"));
}

TEST_F(EssentialFormTest, LaterEditingFixesTheInnAndCancelSavesNothing)
{
    saveValidFile();
    const QByteArray before = test::readAll(m_file);
    {
        ModalDriver driver([&](QDialog &dialog) {
            auto &form = static_cast<TEssentialForm &>(dialog);
            EXPECT_TRUE(form.Cancel->isEnabled());
            EXPECT_TRUE(form.dkey->isReadOnly());
            test::typeText(form.dkey, QStringLiteral("99"));
            test::retype(form.low_address, QStringLiteral("г. Алексин"));
            QTest::mouseClick(form.Cancel, Qt::LeftButton);
        });
        EXPECT_FALSE(gui::editRequisites(nullptr, m_file));
    }
    EXPECT_EQ(test::readAll(m_file), before);

    {
        ModalDriver driver([&](QDialog &dialog) {
            auto &form = static_cast<TEssentialForm &>(dialog);
            test::typeText(form.dkey, QStringLiteral("99"));
            test::retype(form.low_address, QStringLiteral("г. Алексин"));
            QTest::mouseClick(form.Save, Qt::LeftButton);
        });
        EXPECT_TRUE(gui::editRequisites(nullptr, m_file));
    }
    Table reread(m_file);
    reread.open();
    EXPECT_EQ(reread.asString(u"low_address"), QStringLiteral("г. Алексин"));
    EXPECT_EQ(reread.asString(u"dkey"), QStringLiteral("1234567890"));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

TEST_F(EssentialFormTest, MissingFileIsReportedNotEdited)
{
    EXPECT_FALSE(gui::editRequisites(nullptr, m_dir.file(QStringLiteral("gone.xml"))));
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("gone.xml")));
}
