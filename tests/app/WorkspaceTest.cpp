#include "app/Workspace.h"

#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;

TEST(WorkspaceResolve, OptionThenVariableThenPortableThenUserData)
{
    test::TempDir dir;
    const QString portable = dir.file(QStringLiteral("portable"));
    QDir().mkpath(portable + QStringLiteral("/templates"));

    WorkspaceSources s{QStringLiteral("/a/b/../home"), QStringLiteral("/env"), portable, QStringLiteral("/data/kalvor")};
    EXPECT_EQ(resolveWorkspace(s), QStringLiteral("/a/home/"));
    s.homeOption.clear();
    EXPECT_EQ(resolveWorkspace(s), QStringLiteral("/env/"));
    s.homeVariable.clear();
    EXPECT_EQ(resolveWorkspace(s), portable + u'/');
    s.executableDir = dir.path(); // no templates/ there
    EXPECT_EQ(resolveWorkspace(s), QStringLiteral("/data/kalvor/"));
}

TEST(WorkspaceResolve, HomeOptionForms)
{
    EXPECT_EQ(homeOption({QStringLiteral("kalvor"), QStringLiteral("--home"), QStringLiteral("/w")}), QStringLiteral("/w"));
    EXPECT_EQ(homeOption({QStringLiteral("kalvor"), QStringLiteral("--home=/w x")}), QStringLiteral("/w x"));
    EXPECT_EQ(homeOption({QStringLiteral("kalvor"), QStringLiteral("--home")}), QString());
    EXPECT_EQ(homeOption({QStringLiteral("--home"), QStringLiteral("x")}), QString()); // the program's own name
}

TEST(WorkspaceSeed, CopiesWhatIsMissingAndNeverOverwrites)
{
    test::TempDir share;
    share.write(QStringLiteral("templates/xml/kalvor.xml"), "template");
    share.write(QStringLiteral("templates/tamrel.xlsx"), "sheet");
    share.write(QStringLiteral("reports/regions.xml"), "regions");
    share.write(QStringLiteral("reports/201203/x.xml"), "not a book");
    share.write(QStringLiteral("doc/manual.pdf"), "manual");

    test::TempDir work;
    const QString curDir = work.path() + QStringLiteral("/ws/");
    work.write(QStringLiteral("ws/reports/regions.xml"), "the user's own regions");

    QStringList copied = seedWorkspace(curDir, share.path());
    copied.sort();
    EXPECT_EQ(copied, (QStringList{QStringLiteral("doc/manual.pdf"), QStringLiteral("templates/tamrel.xlsx"),
                          QStringLiteral("templates/xml/kalvor.xml")}));
    EXPECT_EQ(test::readAll(curDir + QStringLiteral("reports/regions.xml")), QByteArray("the user's own regions"));
    EXPECT_FALSE(QFile::exists(curDir + QStringLiteral("reports/201203/x.xml")));
    EXPECT_TRUE(QDir(curDir + QStringLiteral("temp")).exists());
    EXPECT_TRUE(QFile::permissions(curDir + QStringLiteral("templates/xml/kalvor.xml")) & QFile::WriteOwner);

    // A second start copies nothing, also over a template the user changed.
    work.write(QStringLiteral("ws/templates/tamrel.xlsx"), "changed");
    EXPECT_TRUE(seedWorkspace(curDir, share.path()).isEmpty());
    EXPECT_EQ(test::readAll(curDir + QStringLiteral("templates/tamrel.xlsx")), QByteArray("changed"));

    // Without an installation the workspace is still made.
    const QString bare = work.path() + QStringLiteral("/bare/");
    EXPECT_TRUE(seedWorkspace(bare, QString()).isEmpty());
    EXPECT_TRUE(QDir(bare + QStringLiteral("reports")).exists());
}

TEST(WorkspaceSeed, TestsRunFromTheBuildTreeFindTheSourceShare)
{
    // The test program lives in the build tree, so the share folder is the source tree's.
    const QString share = locateShareDir(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
    EXPECT_TRUE(QFile::exists(share + QStringLiteral("/templates/xml/declaration.xml"))) << share.toStdString();
}
