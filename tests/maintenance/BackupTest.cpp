#include "support/MaintenanceWorkspace.h"

#include "maintenance/Backup.h"
#include "store/KalvorError.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::maintenance;
using namespace kalvor::test;

TEST(Backup, KeepsTheNewestCopiesOfEachFileAndDropsTheOldest)
{
    MaintenanceWorkspace ws({});
    const QString other = ws.dir.write(QStringLiteral("reports/201203/other.xml"), "x");
    const QDateTime start(QDate(2012, 3, 1), QTime(10, 0));
    QStringList made;
    for (int i = 0; i < kKeptBackups + 3; ++i)
        made.append(keepBackup(ws.settings.FcurDir, ws.declaration(), start.addSecs(i)));
    keepBackup(ws.settings.FcurDir, other, start);

    const QStringList kept = backupsOf(ws.settings.FcurDir, ws.declaration());
    EXPECT_EQ(kept, made.mid(3));
    EXPECT_FALSE(QFileInfo::exists(made.first()));
    EXPECT_EQ(backupsOf(ws.settings.FcurDir, other).size(), 1);
    EXPECT_TRUE(QFileInfo(kept.last()).fileName().startsWith(QStringLiteral("710701234500120300_20120301-100012-000")));
}

TEST(Backup, TwoBackupsInOneMillisecondBothSurviveInOrder)
{
    MaintenanceWorkspace ws({});
    const QDateTime at(QDate(2012, 3, 1), QTime(10, 0));
    const QString first = keepBackup(ws.settings.FcurDir, ws.declaration(), at);
    const QString second = keepBackup(ws.settings.FcurDir, ws.declaration(), at);
    EXPECT_NE(first, second);
    EXPECT_EQ(backupsOf(ws.settings.FcurDir, ws.declaration()), (QStringList{first, second}));
    EXPECT_THROW(keepBackup(ws.settings.FcurDir, ws.dir.file(QStringLiteral("missing.xml"))), KalvorError);
}
