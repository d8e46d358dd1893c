#include "app/UpdateCheck.h"

#include "support/NoticeServer.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace kalvor {
namespace {

// The download runs a local event loop, which needs an application object.
void ensureApplication()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "kalvor_app_tests";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

class UpdateNoticeTest : public ::testing::Test {
protected:
    // Before the fixture's server exists: a socket made without an application never sees connections.
    static void SetUpTestSuite() { ensureApplication(); }

    UpdateNoticeFetcher fetcher(const QString &host, bool network = true)
    {
        UpdateNoticeFetcher f(workspace.path() + u'/', host + QStringLiteral("/data/update.txt"));
        f.setNetworkProbe([network] { return network; });
        f.setTimeout(3s);
        return f;
    }

    QString updateDir() const { return workspace.file(QStringLiteral("update")); }
    bool noticeFileLeft() const { return QFileInfo::exists(workspace.file(QStringLiteral("update/update.txt"))); }

    test::TempDir workspace;
    test::NoticeServer server;
};

TEST(UpdateMessage, PlainTextEqualityDecides)
{
    EXPECT_EQ(updateCheckMessage(QStringLiteral("2.4.4"), QStringLiteral("2.4.4")),
              QStringLiteral("У вас установлена последняя версия программы!"));
    // An older version on the server is "new" too: any difference counts.
    for (const QString &latest : {QStringLiteral("2.4.5"), QStringLiteral("2.4.3"), QStringLiteral("2.4.4 ")})
        EXPECT_EQ(updateCheckMessage(QStringLiteral("2.4.4"), latest),
                  QStringLiteral("Доступна новая версия программы ") + latest);
}

TEST(UpdateMessage, NoticeLinesAcceptCommonTextForms)
{
    EXPECT_EQ(noticeLines("2.4.5\r\nИсправления\r\n"), (QStringList{QStringLiteral("2.4.5"), QStringLiteral("Исправления")}));
    EXPECT_EQ(noticeLines("\xEF\xBB\xBF" "2.4.5"), QStringList{QStringLiteral("2.4.5")});
    EXPECT_EQ(noticeLines("2.4.5\n\nmore"), (QStringList{QStringLiteral("2.4.5"), QString(), QStringLiteral("more")}));
    EXPECT_TRUE(noticeLines("").isEmpty());
    EXPECT_TRUE(noticeLines("\xEF\xBB\xBF").isEmpty());
}

TEST_F(UpdateNoticeTest, FetchReadsTheNoticeAndLeavesNoFile)
{
    server.setBody("2.4.5\r\nНовая версия\r\n");
    // A stale notice from an interrupted run must not be read instead of the fresh one.
    workspace.write(QStringLiteral("update/update.txt"), "0.0.1\n");
    auto f = fetcher(server.host());
    const auto lines = f.FetchUpdateNotice();
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, (QStringList{QStringLiteral("2.4.5"), QStringLiteral("Новая версия")}));
    EXPECT_TRUE(QFileInfo(updateDir()).isDir());
    EXPECT_FALSE(noticeFileLeft());
    EXPECT_FALSE(f.isRunning());
}

TEST_F(UpdateNoticeTest, RequestAsksForTheFixedPathPastCachesUnderOurName)
{
    server.setBody("1.0.0\n");
    auto f = fetcher(server.host());
    ASSERT_TRUE(f.FetchUpdateNotice().has_value());
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_TRUE(server.requests().first().startsWith("GET /data/update.txt HTTP/1.1"));
    EXPECT_EQ(QString::fromUtf8(server.lastHeader("User-Agent")),
              QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    EXPECT_EQ(server.lastHeader("Cache-Control"), "no-cache");
}

TEST_F(UpdateNoticeTest, WithoutNetworkNothingIsAsked)
{
    server.setBody("2.4.5\n");
    auto f = fetcher(server.host(), false);
    EXPECT_FALSE(f.FetchUpdateNotice().has_value());
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(UpdateNoticeTest, FailuresAreSilentAndLeaveNoNoticeFile)
{
    // Error page, server gone, server that never answers: no notice, no file, the folder is there.
    server.setStatus(404);
    server.setBody("<html>Not Found</html>");
    EXPECT_FALSE(fetcher(server.host()).FetchUpdateNotice().has_value());
    EXPECT_FALSE(noticeFileLeft());

    test::NoticeServer hanging;
    hanging.setMode(test::NoticeServer::Mode::Hang);
    auto slow = fetcher(hanging.host());
    slow.setTimeout(300ms);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(slow.FetchUpdateNotice().has_value());
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(hanging.requestCount(), 1);
    EXPECT_FALSE(noticeFileLeft());

    const QString deadHost = server.host();
    server.shutDown();
    workspace.write(QStringLiteral("update/update.txt"), "9.9.9\n");
    EXPECT_FALSE(fetcher(deadHost).FetchUpdateNotice().has_value());
    EXPECT_TRUE(QFileInfo(updateDir()).isDir());
    EXPECT_FALSE(noticeFileLeft());
}

TEST_F(UpdateNoticeTest, SecondFetchDuringADownloadIsRefused)
{
    server.setBody("2.4.5\n");
    auto f = fetcher(server.host());
    bool nestedRefused = false;
    bool runningSeen = false;
    // The request arrives while the first fetch waits in its event loop, as a second click would.
    server.onRequest([&] {
        runningSeen = f.isRunning();
        nestedRefused = !f.FetchUpdateNotice().has_value();
    });
    const auto lines = f.FetchUpdateNotice();
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(lines->value(0), QStringLiteral("2.4.5"));
    EXPECT_TRUE(runningSeen);
    EXPECT_TRUE(nestedRefused);
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_FALSE(f.isRunning());
}

TEST_F(UpdateNoticeTest, DownloadFileReportsFailureAndKeepsNoPartialFile)
{
    server.setBody("abc");
    const QString target = workspace.file(QStringLiteral("notice.txt"));
    EXPECT_TRUE(DownloadFile(server.host() + QStringLiteral("/data/update.txt"), target, 3s));
    EXPECT_EQ(test::readAll(target), "abc");

    server.setStatus(500);
    EXPECT_FALSE(DownloadFile(server.host() + QStringLiteral("/data/update.txt"), target, 3s));
    EXPECT_FALSE(QFileInfo::exists(target));
    // A folder that does not exist cannot take the file; nothing is requested.
    const int before = server.requestCount();
    EXPECT_FALSE(DownloadFile(server.host(), workspace.file(QStringLiteral("missing/x.txt")), 3s));
    EXPECT_EQ(server.requestCount(), before);
}

TEST(Updater, StartsDetachedWithoutAShell)
{
    ensureApplication();
    test::TempDir dir;
    EXPECT_FALSE(startUpdater(dir.file(QStringLiteral("update"))));

    // A name with a blank and a quote would break any shell command line built from it.
    const QString program = dir.write(QStringLiteral("my \"update\""), "#!/bin/sh\ntouch started\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(startUpdater(program));
    // It runs in its own folder.
    const QString marker = dir.file(QStringLiteral("started"));
    QElapsedTimer clock;
    clock.start();
    while (!QFileInfo::exists(marker) && clock.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_TRUE(QFileInfo::exists(marker));
}

} // namespace
} // namespace kalvor
