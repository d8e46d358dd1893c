#include "app/IniFile.h"
#include "sheets/XlsxWorkbook.h"
#include "support/CliRunner.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

CliResult run(const QString &home, QStringList arguments)
{
    arguments.prepend(home);
    arguments.prepend(QStringLiteral("--home"));
    return runCli(arguments);
}

} // namespace

TEST(CliSheetCommands, ExportXlsxWritesTheDeclarationAndThePeriodTotals)
{
    const TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString out = dir.file(QStringLiteral("декларация.xlsx"));
    const CliResult r = run(home, {QStringLiteral("export-xlsx"), out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Декларация за март 2012 выгружена в "))) << r.out.toStdString();

    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(out).sheet();
    EXPECT_EQ(sheet.textAt(9, 17), QStringLiteral("за март 2012 года"));
    EXPECT_EQ(sheet.textAt(4, 8), QStringLiteral("7107012345"));
    const IniFile ini(home + QStringLiteral("/tamrel.ini"));
    for (const char *key : {"return_volume", "volume", "sum_coming", "rest_volume", "volume_charges", "sum_charges",
                            "return_volume_charges", "writeoff_volume_charges", "rest"})
        EXPECT_FALSE(ini.readString(QStringLiteral("201203"), QString::fromLatin1(key)).isEmpty()) << key;
    EXPECT_TRUE(textFileLines(home + QStringLiteral("/error.log")).first().startsWith(QStringLiteral("dkey|")));

    EXPECT_EQ(run(home, {QStringLiteral("export-xlsx")}).status, 2);
    const CliResult noPeriod =
        runCli({QStringLiteral("--home"), dir.file(QStringLiteral("пусто")), QStringLiteral("export-xlsx"), out});
    EXPECT_EQ(noPeriod.status, 1);
}

TEST(CliSheetCommands, ErrorReportTakesTheDialogsSettingsAndRefusesWrongOnes)
{
    const TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString out = dir.file(QStringLiteral("ошибки.xlsx"));
    const CliResult all = run(home, {QStringLiteral("error-report"), out});
    ASSERT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("записей "))) << all.out.toStdString();

    const CliResult none = run(home, {QStringLiteral("error-report"), QStringLiteral("--checks"), QString(),
                                      QStringLiteral("--max"), QStringLiteral("5"), out});
    ASSERT_EQ(none.status, 0) << none.err.toStdString();
    EXPECT_EQ(sheets::XlsxWorkbook::open(out).sheet().textAt(33, 3),
              QStringLiteral("Всего - 0. Возможны и другие ошибки в отчете"));

    const CliResult count =
        run(home, {QStringLiteral("error-report"), QStringLiteral("--max"), QStringLiteral("10001"), out});
    EXPECT_EQ(count.status, 2);
    EXPECT_TRUE(count.err.contains(QStringLiteral("Максимальное количество записей некорректно!")));
    const CliResult vodka =
        run(home, {QStringLiteral("error-report"), QStringLiteral("--vodka"), QStringLiteral("85.5.1"), out});
    EXPECT_EQ(vodka.status, 2);
    EXPECT_TRUE(vodka.err.contains(QStringLiteral("«Водка <»"))) << vodka.err.toStdString();
    EXPECT_EQ(run(home, {QStringLiteral("error-report"), QStringLiteral("--checks"), QStringLiteral("rest,price"), out})
                  .status,
              2);
    EXPECT_EQ(
        run(home, {QStringLiteral("error-report"), QStringLiteral("--cognac"), QStringLiteral("167,5"), out}).status,
        0);
}
