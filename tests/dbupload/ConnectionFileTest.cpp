#include "dbupload/ConnectionFile.h"
#include "dbupload/PostgresDatabase.h"
#include "store/KalvorError.h"
#include "support/TempDir.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::dbupload;

namespace {

const QString kHead = QStringLiteral("[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n");

QString refusal(const QByteArray &bytes)
{
    try {
        parseConnectionFile(bytes, QStringLiteral("/ws/db.udl"), QStringLiteral("/ws/"));
    } catch (const KalvorError &e) {
        return e.message();
    }
    return {};
}

} // namespace

// Data-link files are saved in UTF-16LE with a byte-order mark by the usual editors, or typed as UTF-8;
// both give the same settings, and a relative SQLite path counts from the workspace.
TEST(ConnectionFile, ReadsUtf8AndUtf16WithTheSameMeaning)
{
    const QString text = kHead + QStringLiteral("Provider=SQLite;Data Source=базы/отчеты.db\r\n");
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    const QByteArray utf16Bytes = QByteArray("\xFF\xFE", 2) + QByteArray(utf16.encode(text));
    for (const QByteArray &bytes : {text.toUtf8(), QByteArray("\xEF\xBB\xBF") + text.toUtf8(), utf16Bytes}) {
        const ConnectionSettings s = parseConnectionFile(bytes, QStringLiteral("db.udl"), QStringLiteral("/ws/"));
        EXPECT_EQ(s.provider, Provider::SQLite);
        EXPECT_EQ(s.sqliteFile, QStringLiteral("/ws/базы/отчеты.db"));
    }
    const ConnectionSettings absolute = parseConnectionFile(
        (kHead + QStringLiteral("provider = sqlite ; DATA SOURCE = /var/lib/kalvor/r.db")).toUtf8(), {}, QStringLiteral("/ws/"));
    EXPECT_EQ(absolute.sqliteFile, QStringLiteral("/var/lib/kalvor/r.db"));
}

// The libpq string passes whole (quotes and ";" inside it included); the password in it never shows in
// what the program prints, nor in libpq's refusal when the server cannot be reached.
TEST(ConnectionFile, PostgresStringIsKeptWholeAndItsPasswordNeverShown)
{
    const QByteArray line = "Provider=PostgreSQL;Extended Properties=\"host=127.0.0.1 port=1 dbname='отчеты' "
                            "user=operator password='se;cr\"\"et' sslmode=disable connect_timeout=2\";Persist "
                            "Security Info=False";
    const ConnectionSettings s = parseConnectionFile(kHead.toUtf8() + line, QStringLiteral("db.udl"), {});
    ASSERT_EQ(s.provider, Provider::PostgreSQL);
    EXPECT_EQ(s.conninfo, QStringLiteral("host=127.0.0.1 port=1 dbname='отчеты' user=operator password='se;cr\"et' "
                                         "sslmode=disable connect_timeout=2"));
    EXPECT_EQ(s.description(),
              QStringLiteral("PostgreSQL: host=127.0.0.1 port=1 dbname=отчеты user=operator sslmode=disable"));
    try {
        PostgresDatabase db(s.conninfo);
        FAIL() << "connected to port 1";
    } catch (const KalvorError &e) {
        EXPECT_FALSE(e.message().contains(QStringLiteral("se;cr"))) << e.message().toStdString();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удалось подключиться к базе данных PostgreSQL")));
    }
}

// Every refusal names the file; a stray piece of the line (maybe a password) is not quoted back.
TEST(ConnectionFile, RefusesWhatIsNoConnectionFileNamingIt)
{
    const struct {
        QByteArray bytes;
        const char *says;
    } cases[] = {
        {kHead.toUtf8(), "нет строки подключения"},
        {kHead.toUtf8() + "Data Source=x.db", "не указан поставщик"},
        {kHead.toUtf8() + "Provider=Oracle;Data Source=x", "неизвестный поставщик «Oracle»"},
        {kHead.toUtf8() + "Provider=SQLite", "не указан файл базы SQLite"},
        {kHead.toUtf8() + "Provider=PostgreSQL;secret-word", "часть без знака"},
        {kHead.toUtf8() + "Provider=PostgreSQL;Extended Properties=\"host=x", "не закрыта кавычка"},
        {QByteArray("\xFF\xFE\x41", 3), "оборван"},
        {QByteArray("Provider=SQLite;Data Source=\xC1\xE0\xE7\xE0"), "не в кодировке UTF-8"},
    };
    for (const auto &c : cases) {
        const QString message = refusal(c.bytes);
        EXPECT_TRUE(message.startsWith(QStringLiteral("Файл подключения к базе данных /ws/db.udl: ")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << message.toStdString();
        EXPECT_FALSE(message.contains(QStringLiteral("secret-word")));
    }

    test::TempDir dir;
    try {
        readConnectionFile(dir.path());
        FAIL();
    } catch (const KalvorError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Файл подключения к базе данных %1/db.udl: файл не найден").arg(dir.path()));
    }
}
