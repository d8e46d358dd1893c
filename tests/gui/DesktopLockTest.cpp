#include "gui/DesktopLock.h"
#include "app/WorkspaceLock.h"
#include "gui/common/MessageBoxes.h"
#include "support/FakeDesktop.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

TEST(DesktopLock, ASecondProgramOnTheWorkspaceSaysWhoHoldsItAndDoesNotStart)
{
    TempDir dir;
    const QStringList arguments{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()};
    MessageBoxes::clearShownTexts();
    {
        FakeDesktop first(dir.path());
        WorkspaceLock lock;
        EXPECT_FALSE(lockDesktopWorkspace(lock, arguments, QString()));
        ASSERT_EQ(MessageBoxes::shownTexts().size(), 1);
        EXPECT_TRUE(MessageBoxes::shownTexts().at(0).contains(
            QStringLiteral("занята: с ней работает программа Kalvor (процесс %1").arg(first.pid())))
            << MessageBoxes::shownTexts().at(0).toStdString();
        EXPECT_FALSE(lock.isLocked());
    }
    // The first one is gone (it died holding the lock): this one takes the workspace for its run.
    WorkspaceLock lock;
    EXPECT_TRUE(lockDesktopWorkspace(lock, arguments, QString()));
    EXPECT_TRUE(lock.isLocked());
    EXPECT_TRUE(QFileInfo::exists(WorkspaceLock::lockFileName(dir.path())));
}
