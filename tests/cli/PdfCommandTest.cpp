#include "sheets/XlsxWorkbook.h"
#include "support/CliRunner.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

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

// What a poppler tool prints about a file; the test fails when the tool is missing.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess p;
    p.start(tool, arguments);
    EXPECT_TRUE(p.waitForFinished(60000)) << tool.toStdString() << " did not run (poppler-utils)";
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString withoutSpaces(QString text)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    return text.remove(spaces);
}

} // namespace

// The PDF holds every value of the laid-out sheet, row by row and cell by cell (head, each invoice's rows,
// its totals, the per-kind rows, the signature lines), on A4 landscape pages numbered "Стр. N из M".
TEST(CliPdfCommand, DeclarationPdfHoldsTheLaidOutSheetInOrderOnNumberedA4Pages)
{
    const TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString xlsx = dir.file(QStringLiteral("декларация.xlsx"));
    ASSERT_EQ(run(home, {QStringLiteral("export-xlsx"), xlsx}).status, 0);
    const QString pdf = dir.file(QStringLiteral("декларация.pdf"));
    const CliResult r = run(home, {QStringLiteral("export-pdf"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QRegularExpressionMatch said =
        QRegularExpression(QStringLiteral("^Декларация за март 2012 записана в .*: страниц (\\d+), строк таблицы 600"))
            .match(r.out);
    ASSERT_TRUE(said.hasMatch()) << r.out.toStdString();
    const int pages = said.captured(1).toInt();
    EXPECT_GT(pages, 10);

    const QString info = poppler(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages)))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("841.89 x 595.276 pts (A4)"))) << info.toStdString();

    // Content order: the text of the pages as drawn, matched against the cells of the workbook written from
    // the same layout. Spaces go, since long texts wrap at them.
    const QString text = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    const QString drawn = withoutSpaces(text);
    const sheets::SheetLayout sheet = sheets::XlsxWorkbook::open(xlsx).sheet();
    qsizetype at = 0;
    int found = 0;
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        if (sheet.hidden(row))
            continue;
        for (const sheets::SheetLayout::Cell &cell : sheet.cells(row)) {
            const QString value = withoutSpaces(sheet.displayText(row, cell.column));
            const qsizetype next = drawn.indexOf(value, at);
            ASSERT_GE(next, 0) << "row " << row << " column " << cell.column << ": " << value.toStdString()
                               << " missing after " << drawn.mid(at - 80, 160).toStdString();
            at = next + value.size();
            ++found;
        }
    }
    EXPECT_GT(found, 600 * 10);
    EXPECT_LT(drawn.indexOf(QStringLiteral("ДЕКЛАРАЦИЯ")), drawn.indexOf(QStringLiteral("Итогопонакладной")));
    EXPECT_LT(drawn.lastIndexOf(QStringLiteral("Итогопонакладной")),
              drawn.lastIndexOf(QStringLiteral("Руководительорганизации")));
    for (int page = 1; page <= pages; ++page)
        EXPECT_TRUE(drawn.contains(QStringLiteral("Стр.%1из%2").arg(page).arg(pages))) << page;
    // The table's heading rows open every page.
    EXPECT_EQ(text.count(QStringLiteral("Поставщик и товарно-транспортная накладная")), pages);
}

TEST(CliPdfCommand, ErrorReportPdfTakesTheReportsSettingsAndBadArgumentsWriteNothing)
{
    const TempDir dir;
    const QString home = demoWorkspace(dir);
    const QString pdf = dir.file(QStringLiteral("ошибки.pdf"));
    const CliResult r = run(home, {QStringLiteral("export-pdf"), QStringLiteral("--error-report"),
                                   QStringLiteral("--max"), QStringLiteral("5"), pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("записей "))) << r.out.toStdString();
    const QString drawn = withoutSpaces(poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}));
    EXPECT_TRUE(drawn.contains(QStringLiteral("овозможныхошибкахвдекларации"))) << drawn.left(400).toStdString();
    EXPECT_TRUE(drawn.contains(QRegularExpression(QStringLiteral("Всего-\\d+\\.Возможныидругиеошибкивотчете"))))
        << drawn.toStdString();

    const QString none = dir.file(QStringLiteral("нет.pdf"));
    EXPECT_EQ(run(home, {QStringLiteral("export-pdf")}).status, 2);
    EXPECT_EQ(run(home, {QStringLiteral("export-pdf"), QStringLiteral("--max"), QStringLiteral("5"), none}).status, 2);
    EXPECT_EQ(run(home, {QStringLiteral("export-pdf"), QStringLiteral("--error-report"), QStringLiteral("--max"),
                         QStringLiteral("10001"), none})
                  .status,
              2);
    EXPECT_EQ(run(home, {QStringLiteral("export-pdf"), none, QStringLiteral("второй.pdf")}).status, 2);
    EXPECT_FALSE(QFile::exists(none));
    const CliResult unwritable =
        run(home, {QStringLiteral("export-pdf"), dir.file(QStringLiteral("нет такой папки/отчет.pdf"))});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("Не удалось записать файл"))) << unwritable.err.toStdString();
}
