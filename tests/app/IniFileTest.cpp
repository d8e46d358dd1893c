#include "app/IniFile.h"
#include "store/KalvorError.h"

#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

QByteArray toCp1251(const QString &text)
{
    // Cyrillic letters А..я are 0xC0..0xFF; enough for the test texts.
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        out += u >= 0x0410 && u <= 0x044F ? static_cast<char>(u - 0x0410 + 0xC0) : static_cast<char>(u);
    }
    return out;
}

const QByteArray kSample = "; Kalvor configuration\r\n"
                           "[last_period]\r\n"
                           "period=201203\r\n"
                           "Kalvor=C:\\Kalvor\\reports\\201203\\123456789000120300d.xml\r\n"
                           "\r\n"
                           "; folder dialogs\r\n"
                           "[recent]\r\n"
                           "path = /home/user/Отчеты \r\n";

} // namespace

TEST(IniFileRead, SectionsAndKeysIgnoreCase)
{
    const IniFile ini = IniFile::fromBytes(kSample);
    EXPECT_EQ(ini.readString(QStringLiteral("LAST_PERIOD"), QStringLiteral("Period")), QStringLiteral("201203"));
    EXPECT_EQ(ini.readString(QStringLiteral("last_period"), QStringLiteral("kalvor")),
        QStringLiteral("C:\\Kalvor\\reports\\201203\\123456789000120300d.xml"));
    // Blanks around the key and the value do not count.
    EXPECT_EQ(ini.readString(QStringLiteral("Recent"), QStringLiteral("PATH")), QStringLiteral("/home/user/Отчеты"));
    EXPECT_EQ(ini.readString(QStringLiteral("recent"), QStringLiteral("missing")), QString());
    EXPECT_EQ(ini.readString(QStringLiteral("nope"), QStringLiteral("path"), QStringLiteral("x")), QStringLiteral("x"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("last_period"), QStringLiteral("period")), 201203);
    EXPECT_EQ(ini.readInteger(QStringLiteral("recent"), QStringLiteral("path"), -5), -5);
    EXPECT_EQ(ini.sections(), (QStringList{QStringLiteral("last_period"), QStringLiteral("recent")}));
    EXPECT_EQ(ini.keys(QStringLiteral("LAST_period")), (QStringList{QStringLiteral("period"), QStringLiteral("Kalvor")}));
    EXPECT_TRUE(ini.valueExists(QStringLiteral("RECENT"), QStringLiteral("path")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("recent"), QStringLiteral("period")));
}

TEST(IniFileRead, OddLinesAreTolerated)
{
    const IniFile ini = IniFile::fromBytes("\xEF\xBB\xBF" "orphan=before any section\n"
                                           "[a]\n"
                                           "no equals sign here\n"
                                           "url=http://host/?x=1&y=2\n"
                                           "=no key\n"
                                           "; key=commented\n"
                                           "# other=commented\n"
                                           "k=first\n"
                                           "K=second key wins nothing\n"
                                           "[b\n"
                                           "v=unclosed header\n"
                                           "[A]\n"
                                           "k=duplicate section\n"
                                           "extra=only in the duplicate\n"
                                           "  [ c ]  \r\n"
                                           "empty=");
    EXPECT_EQ(ini.readString(QStringLiteral("a"), QStringLiteral("url")), QStringLiteral("http://host/?x=1&y=2"));
    EXPECT_EQ(ini.readString(QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("a"), QStringLiteral("key")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("a"), QStringLiteral("; key")));
    EXPECT_FALSE(ini.valueExists(QStringLiteral("a"), QStringLiteral("extra")));
    EXPECT_EQ(ini.readString(QStringLiteral("b"), QStringLiteral("v")), QStringLiteral("unclosed header"));
    EXPECT_TRUE(ini.valueExists(QStringLiteral("c"), QStringLiteral("empty")));
    EXPECT_EQ(ini.sections(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(ini.keys(QStringLiteral("a")), (QStringList{QStringLiteral("url"), QStringLiteral("k")}));
}

TEST(IniFileWrite, UntouchedLinesSurviveByteForByte)
{
    IniFile ini = IniFile::fromBytes(kSample);
    EXPECT_EQ(ini.toBytes(), kSample);

    ini.writeString(QStringLiteral("LAST_PERIOD"), QStringLiteral("PERIOD"), QStringLiteral("201204"));
    ini.writeString(QStringLiteral("last_period"), QStringLiteral("declaration"), QStringLiteral("d.xml"));
    ini.writeString(QStringLiteral("201204"), QStringLiteral("Converted"), QStringLiteral("1"));
    EXPECT_EQ(ini.toBytes(), QByteArray("; Kalvor configuration\r\n"
                                        "[last_period]\r\n"
                                        "period=201204\r\n"
                                        "Kalvor=C:\\Kalvor\\reports\\201203\\123456789000120300d.xml\r\n"
                                        "declaration=d.xml\r\n"
                                        "\r\n"
                                        "; folder dialogs\r\n"
                                        "[recent]\r\n"
                                        "path = /home/user/Отчеты \r\n"
                                        "[201204]\r\n"
                                        "Converted=1\r\n"));

    ini.deleteKey(QStringLiteral("last_period"), QStringLiteral("KALVOR"));
    ini.eraseSection(QStringLiteral("Recent"));
    EXPECT_EQ(ini.toBytes(), QByteArray("; Kalvor configuration\r\n"
                                        "[last_period]\r\n"
                                        "period=201204\r\n"
                                        "declaration=d.xml\r\n"
                                        "\r\n"
                                        "; folder dialogs\r\n"
                                        "[201204]\r\n"
                                        "Converted=1\r\n"));
}

TEST(IniFileWrite, ValuesStayOnOneLine)
{
    IniFile ini;
    ini.writeString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("a\r\nb=c"));
    const IniFile reread = IniFile::fromBytes(ini.toBytes());
    EXPECT_EQ(reread.readString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("a  b=c"));
    EXPECT_EQ(reread.keys(QStringLiteral("s")).size(), 1);
}

TEST(IniFileEncoding, WindowsCp1251IsReadAndWrittenBackAsCp1251)
{
    const QByteArray bytes = toCp1251(QStringLiteral("[Раздел]\r\nИмя=Ромашка\r\n"));
    ASSERT_FALSE(QString::fromUtf8(bytes).toUtf8() == bytes); // really not UTF-8
    IniFile ini = IniFile::fromBytes(bytes);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Cp1251);
    EXPECT_EQ(ini.readString(QStringLiteral("раздел"), QStringLiteral("ИМЯ")), QStringLiteral("Ромашка"));

    ini.writeString(QStringLiteral("раздел"), QStringLiteral("Город"), QStringLiteral("Тула"));
    EXPECT_EQ(ini.toBytes(), toCp1251(QStringLiteral("[Раздел]\r\nИмя=Ромашка\r\nГород=Тула\r\n")));

    // Text outside Windows-1251 is kept by switching the file to UTF-8.
    ini.writeString(QStringLiteral("раздел"), QStringLiteral("Знак"), QStringLiteral("日本"));
    const IniFile reread = IniFile::fromBytes(ini.toBytes());
    EXPECT_EQ(reread.encoding(), IniFile::Encoding::Utf8);
    EXPECT_EQ(reread.readString(QStringLiteral("Раздел"), QStringLiteral("знак")), QStringLiteral("日本"));
    EXPECT_EQ(reread.readString(QStringLiteral("Раздел"), QStringLiteral("Имя")), QStringLiteral("Ромашка"));
}

TEST(IniFileEncoding, Cp1251TextThatLooksLikeUtf8IsNotMisreadLater)
{
    // "Р«" is D0 AB in Windows-1251, which is also the UTF-8 form of "Ы"; the FF byte alone makes the
    // file Windows-1251. Once that line is gone the bytes would read as UTF-8.
    IniFile ini = IniFile::fromBytes("[s]\r\nk=\xD0\xAB\r\nbad=\xFF\r\n");
    EXPECT_EQ(ini.readString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("Р«"));
    ini.deleteKey(QStringLiteral("s"), QStringLiteral("bad"));
    EXPECT_EQ(IniFile::fromBytes(ini.toBytes()).readString(QStringLiteral("s"), QStringLiteral("k")),
        QStringLiteral("Р«"));
}

TEST(IniFileEncoding, Utf8KeepsItsByteOrderMarkAndLineEnds)
{
    const QByteArray bytes = "\xEF\xBB\xBF[s]\nимя=значение\n";
    IniFile ini = IniFile::fromBytes(bytes);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Utf8);
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("ИМЯ")), QStringLiteral("значение"));
    EXPECT_EQ(ini.toBytes(), bytes);
    ini.writeString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_EQ(ini.toBytes(), QByteArray("\xEF\xBB\xBF[s]\nимя=значение\nk=v\n"));
}

TEST(IniFileDisk, ChangesReachTheFileAtOnce)
{
    test::TempDir dir;
    const QString path = dir.file(QStringLiteral("tamrel.ini"));
    IniFile ini(path);
    EXPECT_TRUE(ini.sections().isEmpty());
    EXPECT_FALSE(QFile::exists(path)); // reading a missing file creates nothing

    ini.writeString(QStringLiteral("last_period"), QStringLiteral("period"), QStringLiteral("201203"));
    EXPECT_EQ(IniFile(path).readString(QStringLiteral("last_period"), QStringLiteral("period")),
        QStringLiteral("201203"));

    ini.setAutoFlush(false);
    ini.writeInteger(QStringLiteral("last_period"), QStringLiteral("period"), 201204);
    EXPECT_TRUE(ini.isModified());
    EXPECT_EQ(IniFile(path).readInteger(QStringLiteral("last_period"), QStringLiteral("period")), 201203);
    ini.flush();
    EXPECT_FALSE(ini.isModified());
    EXPECT_EQ(IniFile(path).readInteger(QStringLiteral("last_period"), QStringLiteral("period")), 201204);
}

TEST(IniFileDisk, ACp1251FileOnDiskStaysCp1251)
{
    test::TempDir dir;
    const QByteArray original = toCp1251(QStringLiteral("; комментарий\r\n[recent]\r\npath=/home/Отчеты\r\n"));
    const QString path = dir.write(QStringLiteral("tamrel.ini"), original);
    IniFile ini(path);
    ini.writeString(QStringLiteral("Recent"), QStringLiteral("Path"), QStringLiteral("/home/Архив"));
    EXPECT_EQ(test::readAll(path), toCp1251(QStringLiteral("; комментарий\r\n[recent]\r\npath=/home/Архив\r\n")));
}

TEST(IniFileDisk, AFileThatCannotBeWrittenIsAnError)
{
    test::TempDir dir;
    IniFile ini(dir.file(QStringLiteral("missing-folder/tamrel.ini")));
    EXPECT_THROW(ini.writeString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")), KalvorError);
}
