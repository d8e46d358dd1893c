#include "app/Deployment.h"
#include "app/MailLink.h"
#include "app/TAppSettings.h"
#include "app/Version.h"
#include "gui/ConfirmationForm.h"
#include "gui/EmailHelpForm.h"
#include "gui/HelpCommands.h"
#include "gui/HelpForm.h"
#include "gui/LinkLabel.h"
#include "gui/UpdateCommands.h"
#include "gui/common/MessageBoxes.h"

#include "support/NoticeServer.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;

namespace kalvor::gui {
namespace {

// --- update check ---------------------------------------------------------------------------------

TEST(ConfirmationForm, TextsAndResults)
{
    TConfirmation_Form form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Обновление программы"));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Внимание!"));
    EXPECT_TRUE(form.Label1->font().bold());
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Перед обновлением программа будет закрыта"));
    EXPECT_TRUE(form.Msg->wordWrap());
    EXPECT_FALSE(form.Image1->pixmap().isNull());
    EXPECT_EQ(form.Button1->text(), QStringLiteral("Обновить"));
    EXPECT_EQ(form.Button2->text(), QStringLiteral("Отмена"));

    form.show();
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(form.result(), QMessageBox::Yes);
    form.show();
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(form.result(), QMessageBox::Cancel);
}

class UpdateCommandsTest : public ::testing::Test {
protected:
    UpdateCommandsTest()
        : commands(workspace.path() + u'/', server.host() + QStringLiteral("/data/update.txt"),
                   QStringLiteral("/opt/kalvor/bin/update"), &window)
    {
        MessageBoxes::clearShownTexts();
        commands.fetcher().setNetworkProbe([this] { return network; });
        commands.fetcher().setTimeout(3s);
        commands.setConfirmationRunner([this](TConfirmation_Form &form) {
            shownMessages.append(form.Msg->text());
            formParent = form.parentWidget();
            if (onConfirmation)
                onConfirmation();
            return answer;
        });
        commands.setUpdaterStarter([this](const QString &program) {
            startedUpdaters.append(program);
            return updaterStarts;
        });
    }

    bool noticeFileLeft() const { return QFileInfo::exists(workspace.file(QStringLiteral("update/update.txt"))); }

    test::TempDir workspace;
    test::NoticeServer server;
    QWidget window;
    UpdateCommands commands;
    bool network = true;
    int answer = QMessageBox::Yes;
    bool updaterStarts = true;
    std::function<void()> onConfirmation;
    QStringList shownMessages;
    QWidget *formParent = nullptr;
    QStringList startedUpdaters;
};

TEST_F(UpdateCommandsTest, SameVersionStillUpdatesOnConfirmation)
{
    server.setBody(versionText().toUtf8() + "\r\n");
    QSignalSpy exit(&commands, &UpdateCommands::exitRequested);
    commands.TestUpdateActionExecute();
    EXPECT_EQ(shownMessages, QStringList{QStringLiteral("У вас установлена последняя версия программы!")});
    EXPECT_EQ(formParent, &window);
    EXPECT_EQ(startedUpdaters, QStringList{QStringLiteral("/opt/kalvor/bin/update")});
    EXPECT_EQ(exit.count(), 1);
    EXPECT_EQ(commands.Memo1()->toPlainText(), versionText());
    EXPECT_FALSE(commands.Memo1()->isVisible());
    EXPECT_TRUE(QFileInfo(workspace.file(QStringLiteral("update"))).isDir());
    EXPECT_FALSE(noticeFileLeft());
}

TEST_F(UpdateCommandsTest, OtherVersionIsOfferedAndCancelChangesNothing)
{
    server.setBody("0.9.1\nпримечание\n");
    answer = QMessageBox::Cancel;
    QSignalSpy exit(&commands, &UpdateCommands::exitRequested);
    commands.TestUpdateActionExecute();
    EXPECT_EQ(shownMessages, QStringList{QStringLiteral("Доступна новая версия программы 0.9.1")});
    EXPECT_TRUE(startedUpdaters.isEmpty());
    EXPECT_EQ(exit.count(), 0);
    EXPECT_EQ(commands.Memo1()->toPlainText(), QStringLiteral("0.9.1\nпримечание"));
    EXPECT_FALSE(noticeFileLeft());
}

TEST_F(UpdateCommandsTest, NothingToTellMeansNoWindowButAMessage)
{
    network = false;
    commands.TestUpdateActionExecute();
    EXPECT_EQ(server.requestCount(), 0);

    network = true;
    server.setBody("");
    commands.TestUpdateActionExecute();
    server.setBody("\n2.0.0\n");
    commands.TestUpdateActionExecute();
    EXPECT_EQ(server.requestCount(), 2);

    server.shutDown();
    commands.TestUpdateActionExecute();

    EXPECT_TRUE(shownMessages.isEmpty());
    const QString unreachable = QStringLiteral("Не удалось проверить обновления: нет связи с сервером обновлений. "
                                               "Проверьте подключение к интернету.");
    const QString nothing = QStringLiteral("Сведений о новых версиях программы нет.");
    EXPECT_EQ(MessageBoxes::shownTexts(), (QStringList{unreachable, nothing, nothing, unreachable}));
    EXPECT_FALSE(noticeFileLeft());

    // The check at start-up stays silent whatever it finds.
    MessageBoxes::clearShownTexts();
    commands.fetchAtStartup();
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

TEST_F(UpdateCommandsTest, UpdaterThatCannotStartKeepsTheProgramOpen)
{
    server.setBody("9.9.9\n");
    updaterStarts = false;
    QSignalSpy exit(&commands, &UpdateCommands::exitRequested);
    commands.TestUpdateActionExecute();
    EXPECT_EQ(startedUpdaters.size(), 1);
    EXPECT_EQ(exit.count(), 0);
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().first().contains(QStringLiteral("/opt/kalvor/bin/update")));
}

TEST_F(UpdateCommandsTest, OneCheckAtATime)
{
    server.setBody("9.9.9\n");
    answer = QMessageBox::Cancel;
    // A second press while the first check waits (for the server or for the user) does nothing.
    server.onRequest([this] { commands.TestUpdateActionExecute(); });
    onConfirmation = [this] { commands.TestUpdateActionExecute(); };
    commands.TestUpdateActionExecute();
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(shownMessages.size(), 1);

    server.onRequest({});
    onConfirmation = {};
    commands.TestUpdateActionExecute();
    EXPECT_EQ(server.requestCount(), 2);
}

TEST_F(UpdateCommandsTest, StartupFetchOnlyFillsTheMemo)
{
    server.setBody("3.0.0\n");
    QPlainTextEdit memo(&window);
    UpdateCommands own(workspace.path() + u'/', server.host() + QStringLiteral("/data/update.txt"), QString(),
                       &window, &memo);
    own.fetcher().setNetworkProbe([] { return true; });
    own.fetchAtStartup();
    EXPECT_EQ(own.Memo1(), &memo);
    EXPECT_EQ(memo.objectName(), QStringLiteral("Memo1"));
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("3.0.0"));
    EXPECT_TRUE(memo.isHidden());
    EXPECT_FALSE(noticeFileLeft());

    server.shutDown();
    own.fetchAtStartup(); // a failure leaves the last notice
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("3.0.0"));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
}

// --- help windows ---------------------------------------------------------------------------------

TEST(HelpForm, ShowsTheRunningVersionAndTheDeploymentValues)
{
    Deployment d = defaultDeployment();
    d.ownerName = QStringLiteral("Владелец");
    d.consultationPhones = QStringLiteral("8 (800) 000-00-00");
    QList<QUrl> opened;
    THelpForm form(d, [&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Помощь"));
    EXPECT_EQ(form.LabelName->text(), QStringLiteral("Калвор"));
    EXPECT_GT(form.LabelName->font().pointSizeF(), form.LabelVersion->font().pointSizeF() * 1.5);
    EXPECT_EQ(form.LabelVersion->text(), QStringLiteral("Версия ") + versionText());
    EXPECT_EQ(form.GroupBoxOwner->title(), QStringLiteral(" Владелец программного продукта: "));
    EXPECT_EQ(form.GroupBoxConsultation->title(), QStringLiteral(" Консультации по заполнению декларации: "));
    EXPECT_EQ(form.GroupBoxSite->title(), QStringLiteral(" Сайт программы: "));
    EXPECT_EQ(form.GroupBoxDeveloper->title(), QStringLiteral(" Разработано: "));
    EXPECT_EQ(form.LabelOwner->text(), QStringLiteral("Владелец"));
    EXPECT_EQ(form.LabelPhones->text(), QStringLiteral("8 (800) 000-00-00"));
    EXPECT_EQ(form.Label5->text(), d.productPage);
    EXPECT_EQ(form.Label6->text(), d.developerName);
    EXPECT_EQ(form.Label7->text(), d.supportMail);
    EXPECT_EQ(form.ButtonClose->text(), QStringLiteral("Закрыть"));
    EXPECT_EQ(form.layout()->sizeConstraint(), QLayout::SetFixedSize);

    form.show();
    for (LinkLabel *link : {form.Label5, form.Label6, form.Label7}) {
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(link->font().bold() || link->styleSheet().contains(QStringLiteral("bold")));
        QTest::mouseClick(link, Qt::LeftButton);
    }
    QTest::keyClick(form.Label5, Qt::Key_Space);
    EXPECT_EQ(opened, (QList<QUrl>{QUrl(d.productPage), QUrl(d.developerPage), supportMailLink(d.supportMail),
                                   QUrl(d.productPage)}));
    EXPECT_EQ(opened[2].toString(), QStringLiteral("mailto:") + d.supportMail + QStringLiteral("?Subject=kalvor"));

    QTest::mouseClick(form.ButtonClose, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(EmailHelpForm, FourStepsWordWrapped)
{
    TFormEmailHelp form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Краткая инструкция"));
    EXPECT_EQ(form.LabelHeading->text(), QStringLiteral("Инструкция по отправке отчетности"));
    EXPECT_EQ(form.GroupBox1->title(), QStringLiteral(" Последовательность действий "));
    ASSERT_EQ(form.StepLabels.size(), 4);
    for (QLabel *label : form.StepLabels) {
        EXPECT_TRUE(label->wordWrap());
        EXPECT_EQ(label->textFormat(), Qt::PlainText); // "<Отправить на e-mail>" must not vanish as a tag
    }
    EXPECT_TRUE(form.StepLabels[0]->text().startsWith(QStringLiteral("1. Заполнить (изменить) реквизиты")));
    EXPECT_EQ(form.StepLabels[3]->text(),
              QStringLiteral("4. Сформировать e-mail с отчетностью и отправить по адресу email в меню (нажмите ссылку на "
                             "email в меню <Отправить на e-mail> и готовое письмо откроется в Вашей почтовой программе. "
                             "Не забудьте прикрепить к email файл с отчетностью ГГГГММ.zip или .rar )"));
    EXPECT_EQ(form.ButtonClose->text(), QStringLiteral("Закрыть"));
}

// --- help and mail commands -----------------------------------------------------------------------

class HelpCommandsTest : public ::testing::Test {
protected:
    HelpCommandsTest() : commands(settings, deployment, &window)
    {
        MessageBoxes::clearShownTexts();
        settings.SetcurDir(workspace.path() + u'/');
        TKalvor kalvor;
        kalvor.SetINN(QStringLiteral("1234567890"));
        kalvor.SetName(QStringLiteral("ООО Ромашка  плюс"));
        settings.Setkalvor(kalvor);
        commands.setUrlOpener([this](const QUrl &url) {
            opened.append(url);
            return true;
        });
        commands.setDialogRunner([this](QDialog &dialog) {
            dialogs.append(QString::fromLatin1(dialog.metaObject()->className()));
            dialogParents.append(dialog.parentWidget());
        });
    }

    test::TempDir workspace;
    TAppSettings settings;
    Deployment deployment = defaultDeployment();
    QWidget window;
    HelpCommands commands;
    QList<QUrl> opened;
    QStringList dialogs;
    QList<QWidget *> dialogParents;
};

TEST_F(HelpCommandsTest, MissingDocumentsNameThemselves)
{
    commands.N30Click();
    commands.N31Click();
    commands.N32Click();
    EXPECT_EQ(MessageBoxes::shownTexts(),
              (QStringList{QStringLiteral("Файл \"Kalvor_User_Guide_Ru_2_0.doc\" не найден!"),
                           QStringLiteral("Файл \"Порядок декларирования.doc\" не найден!"),
                           QStringLiteral("Файл \"Постановление о внес. изм..doc\" не найден!")}));
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(HelpCommandsTest, PresentDocumentsAreOpened)
{
    const QString guide = workspace.write(QStringLiteral("doc/Kalvor_User_Guide_Ru_2_0.doc"), "x");
    const QString amendment = workspace.write(QStringLiteral("doc/Постановление о внес. изм..doc"), "x");
    commands.N30Click();
    commands.N32Click();
    EXPECT_EQ(opened, (QList<QUrl>{QUrl::fromLocalFile(guide), QUrl::fromLocalFile(amendment)}));
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());

    // A desktop without a program for the file: the user is told where the document lies.
    commands.setUrlOpener([](const QUrl &) { return false; });
    commands.N30Click();
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
    EXPECT_TRUE(MessageBoxes::shownTexts().at(0).contains(QDir::toNativeSeparators(guide)));
}

TEST_F(HelpCommandsTest, MailItemsAddressTheAuthorityWithTheFilersSubject)
{
    deployment.contractMail = QStringLiteral("c@authority.example");
    HelpCommands mail(settings, deployment, &window);
    mail.setUrlOpener([this](const QUrl &url) {
        opened.append(url);
        return true;
    });
    EXPECT_EQ(mail.contractMailItemCaption(), QStringLiteral("c@authority.example (договорные)"));
    EXPECT_EQ(mail.nonContractMailItemCaption(), deployment.nonContractMail + QStringLiteral(" (бездоговорные)"));

    mail.SendContractMailItemClick();
    // The requisites are read at each click: a change since the last one shows in the next mail.
    TKalvor other = settings.Fkalvor;
    other.SetName(QStringLiteral("ИП Петров"));
    settings.Setkalvor(other);
    mail.SendNonContractMailItemClick();

    ASSERT_EQ(opened.size(), 2);
    EXPECT_EQ(QUrl::fromPercentEncoding(opened[0].toEncoded()),
              QStringLiteral("mailto:\"Декларирование_Алкоголь\"<c@authority.example>?Subject=kalvor_")
                  + versionText() + QStringLiteral("1234567890_ООО_Ромашка__плюс_"));
    EXPECT_EQ(opened[1], declarationMailLink(deployment.nonContractMail, versionText(), QStringLiteral("1234567890"),
                                             QStringLiteral("ИП Петров")));
}

TEST_F(HelpCommandsTest, WindowsOpenOverTheMainWindow)
{
    commands.HelpActionExecute();
    commands.N24Click();
    EXPECT_EQ(dialogs, (QStringList{QStringLiteral("kalvor::gui::THelpForm"), QStringLiteral("kalvor::gui::TFormEmailHelp")}));
    EXPECT_EQ(dialogParents, (QList<QWidget *>{&window, &window}));
}

} // namespace
} // namespace kalvor::gui
