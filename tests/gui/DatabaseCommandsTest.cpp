#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "app/IniFile.h"
#include "dbupload/BatchUpload.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/ObjectsImport.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/period/GetFolderDialog.h"
#include "support/DatabaseWorkspace.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// The demo workspace over the embedded database, in a main window; with the service option or without.
class DatabaseCommandsTest : public ::testing::Test {
protected:
    void start(bool service)
    {
        createDemoWorkspace(ws.dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        if (service) {
            IniFile ini(ws.dir.file(QStringLiteral("tamrel.ini")));
            ini.writeString(QStringLiteral("service"), QStringLiteral("show_hidden"), QStringLiteral("1"));
        }
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), ws.dir.path()}, QString());
        window->FormCreate();
        MessageBoxes::clearShownTexts();
    }
    void TearDown() override { setFolderChooser({}); }

    QToolButton *button(const char *name) const { return window->findChild<QToolButton *>(QString::fromLatin1(name)); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QString::fromLatin1(name)); }
    QStringList shown()
    {
        const QStringList texts = MessageBoxes::shownTexts();
        MessageBoxes::clearShownTexts();
        return texts;
    }
    void chooseFolder(const QString &folder)
    {
        setFolderChooser([folder](QWidget *, const QString &caption, QString &chosen) {
            EXPECT_EQ(caption, QString::fromUtf8(dbupload::kBatchFolderCaption));
            chosen = folder;
            return true;
        });
    }

    DatabaseWorkspace ws{TestProvider::SQLite};
    std::unique_ptr<TMainForm> window;
};

} // namespace

// Hidden as the filer's program has them; "Сервис" keeps the batch upload before the other hidden items.
TEST_F(DatabaseCommandsTest, HiddenUnlessTheServiceOption)
{
    start(false);
    ASSERT_NE(button("SpeedButton14"), nullptr);
    EXPECT_TRUE(button("SpeedButton14")->isHidden());
    EXPECT_TRUE(button("SpeedButton15")->isHidden());
    EXPECT_FALSE(action("N37")->isVisible());
    QMenu *service = nullptr;
    for (QAction *menu : window->menuBar()->actions())
        if (menu->text() == u"Сервис")
            service = menu->menu();
    ASSERT_NE(service, nullptr);
    const QList<QAction *> items = service->actions();
    EXPECT_EQ(items.indexOf(action("N37")) + 1, items.indexOf(action("dkey1")));
}

// With the service option the operator uploads the open period and takes in a folder from the window.
TEST_F(DatabaseCommandsTest, TheOperatorUploadsAndTakesInAFolder)
{
    start(true);
    EXPECT_FALSE(button("SpeedButton14")->isHidden());
    EXPECT_EQ(button("SpeedButton14")->text(), QStringLiteral("Выгрузить в БД"));
    EXPECT_EQ(button("SpeedButton14")->toolTip(), QStringLiteral("Выгрузить в базу"));
    EXPECT_EQ(button("SpeedButton15")->text(), QStringLiteral("Добавить log"));
    EXPECT_EQ(action("N37")->text(), QStringLiteral("Пакетная выгрузка в БД.."));
    EXPECT_TRUE(action("N37")->isVisible());

    button("SpeedButton14")->click();
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8(dbupload::kUploadSucceededMessage)});
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT count(*) FROM kalvor")), QStringList{QStringLiteral("1")});
    button("SpeedButton15")->click();
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8(dbupload::kUploadSucceededMessage)});
    EXPECT_EQ(ws.rows(QStringLiteral("SELECT count(*) FROM kalvor")), QStringList{QStringLiteral("2")});

    // A folder: first with nobody listed, then with the demo filer listed.
    const QString folder = ws.dir.file(QStringLiteral("in/201203"));
    QDir().mkpath(folder);
    for (const QString &name : {QStringLiteral("710701234500120300.xml"), QStringLiteral("710701234500120300d.xml")})
        QFile::copy(ws.dir.file(QStringLiteral("reports/201203/") + name), folder + u'/' + name);
    chooseFolder(folder);
    action("N37")->trigger();
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8(dbupload::kObjectsEmptyMessage)});
    EXPECT_EQ(IniFile(ws.dir.file(QStringLiteral("tamrel.ini"))).readString(QStringLiteral("recent"), QStringLiteral("path")),
              folder);

    dbupload::importObjects(ws.curDir(), {},
                            ws.dir.write(QStringLiteral("o.csv"), "INN;Kod_object;Date_object;Kod_raion;Status;"
                                                                  "Date_priost;Date_save\n7107012345;1;;;0;;\n"));
    action("N37")->trigger();
    EXPECT_EQ(shown(), QStringList{QString::fromUtf8(dbupload::kBatchDoneMessage)});
    EXPECT_EQ(textFileLines(ws.dir.file(QStringLiteral("log.txt"))).value(2),
              QStringLiteral("710701234500120300.xml|(прошел пустые данные)1"));

    chooseFolder(ws.dir.file(QStringLiteral("in")));
    action("N37")->trigger();
    EXPECT_EQ(shown(), QStringList{QStringLiteral("Название папки должно быть в формате: YYYYMM")});
}
