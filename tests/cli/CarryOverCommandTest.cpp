#include "store/DeclarationKey.h"
#include "store/Table.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor::test;

TEST(CliCarryOver, CreatesTheMonthMakesItCurrentAndRefusesToOverwrite)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const auto carry = [&home](QStringList args) {
        args.prepend(QStringLiteral("carry-over"));
        args.prepend(home);
        args.prepend(QStringLiteral("--home"));
        return runCli(args);
    };

    const CliResult april = carry({QStringLiteral("201204")});
    ASSERT_EQ(april.status, 0) << april.err.toStdString();
    EXPECT_TRUE(april.out.startsWith(QStringLiteral("Создана декларация за 201204: "))) << april.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/reports/201204/710701234500120400.xml")));
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/reports/201204/710701234500120400d.xml")));
    // The new month is the configured one: the next command works on it.
    const CliResult count = runCli({QStringLiteral("dump"), QStringLiteral("--count"),
                                    home + QStringLiteral("/reports/201204/710701234500120400.xml")});
    EXPECT_NE(count.out.trimmed(), QStringLiteral("0"));

    // April is current now: carrying into June finds no May and starts empty.
    const CliResult june = carry({QStringLiteral("201206")});
    ASSERT_EQ(june.status, 0) << june.err.toStdString();
    EXPECT_TRUE(june.out.startsWith(QStringLiteral("Данных за прошлый месяц не обнаружено.\n")));
    EXPECT_TRUE(june.out.contains(QStringLiteral("перенесено строк: 0 из 0")));

    // April again: refused without --replace, nothing written; with it the old table goes to backup/.
    const CliResult again = carry({QStringLiteral("201204"), QStringLiteral("--empty")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("--replace"))) << again.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/backup")));
    const CliResult replaced =
        carry({QStringLiteral("201204"), QStringLiteral("--empty"), QStringLiteral("--replace")});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_EQ(QDir(home + QStringLiteral("/backup")).entryList(QDir::Files).size(), 1);

    // The open period and a malformed one are refused with their messages.
    const CliResult current = carry({QStringLiteral("201204")});
    EXPECT_EQ(current.status, 1);
    EXPECT_TRUE(current.err.contains(QStringLiteral("Выбранный период является текущим.")))
        << current.err.toStdString();
    EXPECT_EQ(carry({QStringLiteral("2012-4")}).status, 2);
}

TEST(CliCarryOver, UpdateCarriesACorrectionIntoTheExistingMonth)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const auto carry = [&home](const QStringList &args) {
        return runCli(QStringList{QStringLiteral("--home"), home, QStringLiteral("carry-over")} + args);
    };
    ASSERT_EQ(carry({QStringLiteral("201204")}).status, 0);
    const CliResult same = carry({QStringLiteral("201204"), QStringLiteral("--update")});
    EXPECT_EQ(same.status, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, QStringLiteral("Остатки за период 201204 совпадают с остатками за 201203: декларация не изменена\n"));

    // March sells one more litre of something April carries on.
    {
        kalvor::Table march(home + QStringLiteral("/reports/201203/710701234500120300.xml"));
        march.open();
        for (march.first(); !march.eof(); march.next())
            if (kalvor::dkey::kindOf(march.asString(u"dkey")) == kalvor::dkey::KeyKind::Position &&
                march.asFloat(u"rest") >= 1) {
                march.edit();
                march.setFloat(u"rest", march.asFloat(u"rest") - 1);
                march.post();
                break;
            }
        march.close();
    }
    const CliResult updated = carry({QStringLiteral("201204"), QStringLiteral("--update")});
    EXPECT_EQ(updated.status, 0) << updated.err.toStdString();
    EXPECT_TRUE(updated.out.contains(QStringLiteral("изменено строк: 1, добавлено строк: 0"))) << updated.out.toStdString();
    EXPECT_EQ(QDir(home + QStringLiteral("/backup")).entryList(QDir::Files).size(), 1);

    // A month that does not exist yet, and --update with another option.
    const CliResult may = carry({QStringLiteral("201205"), QStringLiteral("--update")});
    EXPECT_EQ(may.status, 1);
    EXPECT_TRUE(may.err.contains(QStringLiteral("201205"))) << may.err.toStdString();
    EXPECT_EQ(carry({QStringLiteral("201204"), QStringLiteral("--update"), QStringLiteral("--empty")}).status, 2);
}
