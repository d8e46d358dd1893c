#include "support/CliRunner.h"
#include "support/DatabaseWorkspace.h"
#include "sheets/XlsxWorkbook.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor::test;

namespace {

CliResult db(const QString &home, const QStringList &args)
{
    return runCli(QStringList{QStringLiteral("--home"), home, QStringLiteral("db")} + args);
}

} // namespace

// The operator's whole month from the command line on the embedded database: set up (twice), list the
// filers, upload the open period, take in a folder, read a report procedure.
TEST(CliDb, SetsUpTakesInAndReportsOnTheEmbeddedDatabase)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    const CliResult init = db(home, {QStringLiteral("init")});
    EXPECT_EQ(init.status, 0) << init.err.toStdString();
    EXPECT_TRUE(init.out.startsWith(QStringLiteral("SQLite: ") + home + QStringLiteral("/kalvor.db\n")));
    EXPECT_TRUE(init.out.contains(QStringLiteral("Созданы таблицы схемы версии 1")));
    EXPECT_TRUE(db(home, {QStringLiteral("init")}).out.contains(QStringLiteral("уже есть")));

    const CliResult upload = db(home, {QStringLiteral("upload")});
    EXPECT_EQ(upload.status, 0) << upload.err.toStdString();
    EXPECT_TRUE(upload.out.startsWith(QStringLiteral("Выгрузка в базу завершена успешно.\n")));
    const CliResult report = db(home, {QStringLiteral("call"), QStringLiteral("REP_KALVOR_SUM"),
                                       QStringLiteral("7107012345"), QStringLiteral("1203"), QStringLiteral("1203")});
    EXPECT_EQ(report.status, 0) << report.err.toStdString();
    EXPECT_TRUE(report.out.startsWith(QStringLiteral("name\tsum_package_count\tsum_all_count\t")));
    EXPECT_GT(report.out.count(u'\n'), 1);
    EXPECT_EQ(db(home, {QStringLiteral("call"), QStringLiteral("REP_KALVOR"), QStringLiteral("1")}).status, 2);
    EXPECT_EQ(db(home, {QStringLiteral("call"), QStringLiteral("REP_KALVOR"), QStringLiteral("7107012345"),
                        QStringLiteral("март"), QStringLiteral("1203")})
                  .status,
              2);

    // A folder with the demo filer's report and a listed filer's declaration without requisites.
    const QString folder = dir.file(QStringLiteral("in/201203"));
    QDir().mkpath(folder);
    for (const QString &name : {QStringLiteral("710701234500120300.xml"), QStringLiteral("710701234500120300d.xml")})
        QFile::copy(home + QStringLiteral("/reports/201203/") + name, folder + u'/' + name);
    QFile::copy(folder + QStringLiteral("/710701234500120300.xml"), folder + QStringLiteral("/771234567890120300.xml"));
    const QString csv = dir.write(QStringLiteral("objects.csv"),
                                  "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n"
                                  "7107012345;1;;;0;;\n771234567890;1;;;0;;\n");
    const CliResult objects = db(home, {QStringLiteral("import-objects"), csv});
    EXPECT_EQ(objects.status, 0) << objects.err.toStdString();
    EXPECT_EQ(objects.out, QStringLiteral("Загружено объектов: 2\n"));
    const CliResult batch = db(home, {QStringLiteral("batch-upload"), folder});
    EXPECT_EQ(batch.status, 1) << batch.err.toStdString();
    EXPECT_TRUE(batch.err.contains(QStringLiteral("Не найден файл сведений о калворе")));
    EXPECT_TRUE(batch.out.contains(QStringLiteral("Выгружено отчетов: 1, с ошибкой: 1")));
    QFile::remove(folder + QStringLiteral("/771234567890120300.xml"));
    EXPECT_EQ(db(home, {QStringLiteral("batch-upload"), folder}).status, 0);
    EXPECT_EQ(textFileLines(home + QStringLiteral("/log.txt")).last(), QStringLiteral("771234567890|3"));

    EXPECT_EQ(db(home, {}).status, 2);
    EXPECT_EQ(db(home, {QStringLiteral("batch-upload")}).status, 2);
    EXPECT_EQ(db(home, {QStringLiteral("batch-upload"), dir.file(QStringLiteral("in/2012ab"))}).status, 1);
}

// The same command sets up a PostgreSQL database named by db.udl and shows where without a password.
TEST(CliDb, InitOnPostgresShowsTheServerNotThePassword)
{
    DatabaseWorkspace ws(TestProvider::PostgreSQL, false);
    const CliResult init = db(ws.dir.path(), {QStringLiteral("init")});
    EXPECT_EQ(init.status, 0) << init.err.toStdString();
    EXPECT_TRUE(init.out.startsWith(QStringLiteral("PostgreSQL: "))) << init.out.toStdString();
    EXPECT_TRUE(init.out.contains(QStringLiteral("Созданы таблицы схемы версии 1")));
    const QString password = qEnvironmentVariable("PGPASSWORD");
    if (!password.isEmpty()) {
        EXPECT_FALSE(init.out.contains(password));
    }
    const CliResult filers = db(ws.dir.path(), {QStringLiteral("call"), QStringLiteral("rep_inn")});
    EXPECT_EQ(filers.status, 0) << filers.err.toStdString();
    EXPECT_EQ(filers.out, QStringLiteral("inn\n"));
}

// The regulator reports and the completeness report from the command line: the workbook written where
// asked, an empty span refused with the program's message and status 1, wrong arguments with status 2.
TEST(CliDb, WritesTheReportWorkbooks)
{
    TempDir dir;
    const QString home = demoWorkspace(dir);
    ASSERT_EQ(db(home, {QStringLiteral("upload")}).status, 0);
    const QString out = dir.file(QStringLiteral("out/suppliers.xlsx"));
    QDir().mkpath(dir.file(QStringLiteral("out")));
    const CliResult suppliers = db(home, {QStringLiteral("report"), QStringLiteral("suppliers"), QStringLiteral("--from"),
                                          QStringLiteral("201203"), QStringLiteral("--to"), QStringLiteral("201203"), out});
    EXPECT_EQ(suppliers.status, 0) << suppliers.err.toStdString();
    const kalvor::sheets::SheetLayout sheet = kalvor::sheets::XlsxWorkbook::open(out).sheet();
    EXPECT_EQ(sheet.textAt(4, 1), QStringLiteral("Отчет составлен за период с март 2012 г. по март 2012 г."));
    EXPECT_FALSE(sheet.textAt(8, 2).isEmpty());

    const QString control = dir.file(QStringLiteral("out/control.xlsx"));
    EXPECT_EQ(db(home, {QStringLiteral("report"), QStringLiteral("control"), QStringLiteral("--inn"),
                        QStringLiteral("7107012345"), QStringLiteral("--from"), QStringLiteral("201203"),
                        QStringLiteral("--to"), QStringLiteral("201203"), control})
                  .status,
              0);
    EXPECT_TRUE(kalvor::sheets::XlsxWorkbook::open(control).sheet().textAt(4, 1).startsWith(
        QStringLiteral("Наименование объекта декларирования:")));

    const CliResult empty = db(home, {QStringLiteral("report"), QStringLiteral("import"), QStringLiteral("--from"),
                                      QStringLiteral("201301"), QStringLiteral("--to"), QStringLiteral("201302"),
                                      dir.file(QStringLiteral("out/none.xlsx"))});
    EXPECT_EQ(empty.status, 1);
    EXPECT_TRUE(empty.err.endsWith(QStringLiteral(": За выбранный период данных не обнаружено\n"))) << empty.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("out/none.xlsx"))));

    db(home, {QStringLiteral("import-objects"),
              dir.write(QStringLiteral("objects.csv"),
                        "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n7107012345;1;01.01.2012;;0;;\n")});
    const QString objects = dir.file(QStringLiteral("out/objects.xlsx"));
    const CliResult completeness = db(home, {QStringLiteral("objects-report"), QStringLiteral("--from"),
                                             QStringLiteral("201203"), QStringLiteral("--to"), QStringLiteral("201203"), objects});
    EXPECT_EQ(completeness.status, 0) << completeness.err.toStdString();
    EXPECT_EQ(kalvor::sheets::XlsxWorkbook::open(objects).sheet().textAt(8, 3), QStringLiteral("1"));
    EXPECT_EQ(db(home, {QStringLiteral("objects-report"), QStringLiteral("--from"), QStringLiteral("200901"),
                        QStringLiteral("--to"), QStringLiteral("200901"), objects})
                  .status,
              1);

    for (const QStringList &wrong :
         {QStringList{QStringLiteral("report"), QStringLiteral("nosuch"), QStringLiteral("--from"), QStringLiteral("201203"),
                      QStringLiteral("--to"), QStringLiteral("201203"), out},
          QStringList{QStringLiteral("report"), QStringLiteral("control"), QStringLiteral("--from"),
                      QStringLiteral("201203"), QStringLiteral("--to"), QStringLiteral("201203"), out},
          QStringList{QStringLiteral("report"), QStringLiteral("suppliers"), QStringLiteral("--from"),
                      QStringLiteral("201203"), out},
          QStringList{QStringLiteral("objects-report"), QStringLiteral("--from"), QStringLiteral("201203"),
                      QStringLiteral("--to"), QStringLiteral("201203")}})
        EXPECT_EQ(db(home, wrong).status, 2) << wrong.join(u' ').toStdString();
    EXPECT_EQ(db(home, {QStringLiteral("report"), QStringLiteral("suppliers"), QStringLiteral("--from"),
                        QStringLiteral("201213"), QStringLiteral("--to"), QStringLiteral("201203"), out})
                  .status,
              1);
}
