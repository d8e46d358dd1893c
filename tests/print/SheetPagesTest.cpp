#include "sheets/XlsxWorkbook.h"
#include "sheets/print/SheetPrintout.h"
#include "support/CliRunner.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QFile>
#include <QPdfWriter>

#include <algorithm>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::sheets::print;
using namespace kalvor::test;

namespace {

// What a page shows, run by run.
struct DrawnRun {
    QString text;
    Rgb colour = kBlack;
    QPointF origin;
    double width = 0;
    double size = 0;
    bool clipped = false;
};

class RecordingCanvas final : public PageCanvas {
public:
    std::vector<DrawnRun> runs;

    void fillRect(const QRectF &, Rgb) override {}
    void strokeLines(std::span<const QLineF>, double) override {}
    void drawGlyphs(const GlyphRun &run) override
    {
        QString text;
        for (const char32_t c : run.characters)
            text += QString::fromUcs4(&c, 1);
        runs.push_back({text, run.colour, run.origin, run.width, run.size, run.clip != nullptr});
    }
};

// The demo month's declaration as its workbook export laid it out.
SheetLayout demoDeclaration(const TempDir &dir)
{
    const QString home = demoWorkspace(dir);
    const QString xlsx = dir.file(QStringLiteral("декларация.xlsx"));
    const CliResult r = runCli({QStringLiteral("--home"), home, QStringLiteral("export-xlsx"), xlsx});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    return XlsxWorkbook::open(xlsx).sheet();
}

// The first row below the headings with a product's name and its volume.
int firstPositionRow(const SheetLayout &sheet)
{
    for (int row = sheet.page().lastRepeatRow + 1; row <= sheet.rowCount(); ++row)
        if (sheet.value(row, 8).kind == SheetLayout::Kind::Text &&
            sheet.value(row, 20).kind == SheetLayout::Kind::Number)
            return row;
    return 0;
}

int pageOf(const SheetPages &pages, int row)
{
    for (int p = 0; p < pages.pageCount(); ++p)
        if (row >= pages.firstRow(p) && row <= pages.lastRow(p))
            return p;
    return -1;
}

QString joined(const std::vector<DrawnRun> &runs)
{
    QString all;
    for (const DrawnRun &r : runs)
        all += r.text;
    return all.remove(u' ');
}

} // namespace

// The 33 columns share the printable width; a row the algorithm coloured red is drawn red, its neighbours
// black; numbers are never wrapped or cut, however narrow their column; long names wrap inside theirs.
TEST(SheetPages, ColumnsFitRedRowsStayRedNumbersStayWholeAndNamesWrap)
{
    const TempDir dir;
    SheetLayout sheet = demoDeclaration(dir);
    const int red = firstPositionRow(sheet);
    ASSERT_GT(red, 0);
    const QString longName = QStringLiteral("Вино столовое полусладкое красное «Долина солнечных холмов» "
                                            "урожая прошлого года, бутылка стеклянная 0,75 л");
    sheet.setText(red, 8, longName);
    sheet.setNumber(red, 20, 123456789.125);
    sheet.setFontColour(red, red, 1, sheet.columnCount(), kRed);

    const FontSet fonts(sheet);
    const PageSetup setup = PageSetup::a4(true);
    const SheetPages pages(sheet, fonts, setup);
    EXPECT_EQ(setup.paper.toSize(), QSize(842, 595));
    double total = 0;
    for (int c = 1; c <= 33; ++c) {
        EXPECT_GT(pages.columnWidth(c), c == 1 ? 2 : 8) << c; // the first is the template's narrow margin
        total += pages.columnWidth(c);
    }
    const double printable = setup.paper.width() - setup.margins.left() - setup.margins.right();
    EXPECT_LE(total, printable + 0.01);
    EXPECT_GT(total, 0.95 * printable);

    const QString number = sheet.displayText(red, 20);
    EXPECT_TRUE(number.startsWith(QStringLiteral("123456789"))) << number.toStdString();
    RecordingCanvas canvas;
    pages.drawPage(pageOf(pages, red), canvas);
    const double top = [&] {
        for (const DrawnRun &r : canvas.runs)
            if (r.text == number)
                return r.origin.y();
        return -1.0;
    }();
    ASSERT_GE(top, 0) << "the number is not drawn whole in one run";
    std::vector<DrawnRun> inRow;
    for (const DrawnRun &r : canvas.runs) {
        const bool isRed = r.colour == kRed;
        if (isRed)
            inRow.push_back(r);
        // Readable: the headings' small type shrinks with the sheet, the data stays larger.
        EXPECT_GE(r.size, isRed ? 4.0 : 3.5) << r.text.toStdString();
        if (r.text == number) {
            EXPECT_FALSE(r.clipped);
            EXPECT_LE(r.width, pages.columnWidth(20));
        }
    }
    // The red runs are the row's cells, in order, and nothing else.
    QString expected;
    for (const SheetLayout::Cell &cell : sheet.cells(red))
        expected += sheet.displayText(red, cell.column);
    EXPECT_EQ(joined(inRow), expected.remove(u' '));
    // The name wrapped to lines inside its column.
    int nameLines = 0;
    for (const DrawnRun &r : inRow)
        if (longName.contains(r.text.trimmed()) && r.text.size() > 2) {
            ++nameLines;
            EXPECT_LE(r.width, pages.columnWidth(8)) << r.text.toStdString();
            EXPECT_FALSE(r.clipped);
        }
    EXPECT_GE(nameLines, 3);
    EXPECT_EQ(pages.rowHeight(red + 1) > 0, true);
    EXPECT_GT(pages.rowHeight(red), pages.rowHeight(red + 1));
}

// The heading's captions keep their words whole (they break only at spaces and after hyphens); a word too
// long for the widest column it may have breaks with a hyphen, two letters at least on either side.
TEST(SheetPages, HeadingWordsStayWholeAndAnOverlongWordBreaksWithAHyphen)
{
    const TempDir dir;
    SheetLayout sheet = demoDeclaration(dir);
    const int row = firstPositionRow(sheet);
    ASSERT_GT(row, 0);
    const QString word = QStringLiteral("Сверхдлинноеназваниепоставщикабезединогопробелаидефисавсейстроке");
    sheet.setText(row, 3, word);
    sheet.setFontColour(row, row, 3, 3, kRed);
    const FontSet fonts(sheet);
    const SheetPages pages(sheet, fonts, PageSetup::a4(true));

    RecordingCanvas first;
    pages.drawPage(0, first);
    int checked = 0;
    for (int r = sheet.page().firstRepeatRow; r <= sheet.page().lastRepeatRow; ++r)
        for (const SheetLayout::Cell &cell : sheet.cells(r)) {
            const QString caption = sheet.displayText(r, cell.column);
            for (QString w : caption.split(u' ', Qt::SkipEmptyParts)) {
                if (const qsizetype hyphen = w.indexOf(u'-'); hyphen > 0 && hyphen + 1 < w.size())
                    w.truncate(hyphen + 1); // "Кол-во" may break after its hyphen
                const bool whole = std::any_of(first.runs.begin(), first.runs.end(),
                                               [&](const DrawnRun &d) { return d.text.contains(w); });
                EXPECT_TRUE(whole) << "column " << cell.column << ": " << w.toStdString();
                ++checked;
            }
        }
    EXPECT_GT(checked, 60);

    RecordingCanvas canvas;
    pages.drawPage(pageOf(pages, row), canvas);
    std::vector<QString> pieces;
    for (const DrawnRun &d : canvas.runs)
        if (d.colour == kRed) {
            pieces.push_back(d.text);
            EXPECT_LE(d.width, pages.columnWidth(3) + 0.01) << d.text.toStdString();
        }
    ASSERT_GE(pieces.size(), 2u);
    QString rejoined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        QString piece = pieces[i];
        if (i + 1 < pieces.size()) {
            ASSERT_TRUE(piece.endsWith(u'-')) << piece.toStdString();
            piece.chop(1);
        }
        EXPECT_GE(piece.size(), 2) << piece.toStdString();
        rejoined += piece;
    }
    EXPECT_EQ(rejoined, word);
}

// The printer path (the preview, a printer) and the PDF file show the same pages; a cancelled PDF leaves no file.
TEST(SheetPrintout, PrinterGetsEveryPageAndACancelledPdfLeavesNoFile)
{
    const TempDir dir;
    const SheetPrintout printout(demoDeclaration(dir));
    ASSERT_GT(printout.pageCount(), 10);

    QPdfWriter device(dir.file(QStringLiteral("printer.pdf")));
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Landscape);
    int printed = 0;
    Progress progress;
    progress.advanced = [&](qint64 done) { printed = int(done); };
    ASSERT_TRUE(printout.print(device, progress));
    EXPECT_EQ(printed, printout.pageCount());

    const QString pdf = dir.file(QStringLiteral("декларация.pdf"));
    int written = 0;
    progress.advanced = [&](qint64 done) { written = int(done); };
    progress.cancelled = [&] { return written > 0; };
    EXPECT_FALSE(printout.writePdf(pdf, QStringLiteral("Декларация"), progress));
    EXPECT_LT(written, printout.pageCount());
    EXPECT_FALSE(QFile::exists(pdf));
    progress.cancelled = {};
    ASSERT_TRUE(printout.writePdf(pdf, QStringLiteral("Декларация"), progress));
    EXPECT_EQ(written, printout.pageCount());
    EXPECT_TRUE(QFile(pdf).open(QIODevice::ReadOnly));
}
