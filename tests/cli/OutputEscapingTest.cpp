#include "support/CliRunner.h"
#include "support/PacketText.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor::test;

namespace {

const QString kForgedSuccess = QStringLiteral("Верификация завершена успешно.");

// Puts one more row into an 8-bit declaration, just before the end of its rows.
void appendRow(const QString &fileName, const QByteArray &utf8Row)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    bytes.replace("</ROWDATA>", ansi(utf8Row) + "\r\n</ROWDATA>");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST(CliOutput, ValuesAndNamesCannotForgeLinesOrReachTheTerminal)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString dest = dir.file(QStringLiteral("out"));
    ASSERT_EQ(runCli({QStringLiteral("--home"), home, QStringLiteral("export-files"), dest}).status, 0);
    const QString folder = dest + QStringLiteral("/201203");

    // A number cell whose error message would carry a line of its own claiming success.
    appendRow(folder + QStringLiteral("/710701234500120300.xml"),
              "<ROW RowState=\"4\" dkey=\"71070123450012030000009900000000\" production_code=\"&#10;x/201203&#9;"
              + kForgedSuccess.toUtf8() + "\" />");
    const CliResult verified = runCli({QStringLiteral("verify"), folder});
    EXPECT_EQ(verified.status, 1);
    ASSERT_EQ(verified.out.count(u'\n'), 1) << verified.out.toStdString();
    EXPECT_EQ(verified.out.count(u'\t'), 1) << verified.out.toStdString();
    EXPECT_TRUE(verified.out.startsWith(folder + u'\t'));
    // The line break of the value joins the line as "; ", the tab is escaped.
    EXPECT_TRUE(verified.out.contains(QStringLiteral("; x/201203\\t"))) << verified.out.toStdString();
    EXPECT_FALSE(verified.out.endsWith(kForgedSuccess + u'\n'));

    // A folder name holding a line break and a tab stays on its own line, escaped.
    const QString oddFolder = dir.file(QStringLiteral("a\nb/201203\t") + kForgedSuccess);
    const CliResult odd = runCli({QStringLiteral("verify"), oddFolder});
    EXPECT_EQ(odd.status, 1);
    EXPECT_EQ(odd.out.count(u'\n'), 1) << odd.out.toStdString();
    EXPECT_TRUE(odd.out.startsWith(dir.file(QStringLiteral("a\\nb/201203\\t")))) << odd.out.toStdString();

    // Escape sequences and other control characters in cells and messages reach the screen as text.
    const QString table = dir.write(QStringLiteral("esc\x1b[2J.xml"),
                                    handWrittenPacket("<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"40\" />\r\n",
                                                      "<ROW name=\"&#27;[31mred&#7;&#127;&#x202E;\\\" />\r\n"));
    const CliResult dumped = runCli({QStringLiteral("dump"), table});
    EXPECT_EQ(dumped.status, 0) << dumped.err.toStdString();
    EXPECT_EQ(dumped.out.toStdString(), "name\n\\x1b[31mred\\x07\\x7f\\xe2\\x80\\xae\\\\\n") << dumped.out.toStdString();

    QFile::resize(table, 100);
    const CliResult refused = runCli({QStringLiteral("dump"), table});
    EXPECT_EQ(refused.status, 1);
    EXPECT_FALSE(refused.err.contains(QChar(0x1b))) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("esc\\x1b[2J.xml"))) << refused.err.toStdString();
}
