#include "support/CliRunner.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor::test;

namespace {

CliResult runIn(const QString &home, const QString &command)
{
    return runCli({QStringLiteral("--home"), home, command});
}

} // namespace

TEST(CliMaintenance, EachCommandWorksOnTheConfiguredPeriodAndPrintsItsMessage)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);

    const std::pair<const char *, const char *> expected[] = {
        {"compact", "Размер файла уменьшен на "},
        {"compact", "Размер файла уменьшен на 0 байт.\n"},
        {"clear-unlinked", "Удалено несвязанных элементов (продукция и внутр. перемещения): 0 \n"},
        {"repair-keys", "Dkey изменен!\n"},
        {"convert-kinds", "Количество замен: "},
        {"recompute-purchases", "Количество замен: "},
        {"fill-regions", "Количество замен: "},
        {"clear-transfers", "Количество замен: "},
        {"replace-waybills", "Количество замен: "},
        {"split", "1 Выгружено\n2 Выгружено\n"},
    };
    for (const auto &[command, message] : expected) {
        const CliResult r = runIn(home, QString::fromLatin1(command));
        EXPECT_EQ(r.status, 0) << command << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.startsWith(QString::fromUtf8(message))) << command << ": " << r.out.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/divide/710701234500120300(1).xml")));
    EXPECT_TRUE(QFileInfo::exists(home + QStringLiteral("/divide/710701234500120300(2).xml")));
    EXPECT_FALSE(QDir(home + QStringLiteral("/backup")).isEmpty());

    // The conversion runs once per period.
    const CliResult again = runIn(home, QStringLiteral("convert-kinds"));
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("201203"))) << again.err.toStdString();

    // A workspace without a period is refused with a message.
    const CliResult empty = runIn(dir.file(QStringLiteral("empty")), QStringLiteral("compact"));
    EXPECT_EQ(empty.status, 1);
    EXPECT_FALSE(empty.err.isEmpty());
}
