// kalvor-pdf-bench: the phases of the declaration's export in one process, to see where time goes: the
// layout (reading the declaration included), the workbook written from it, the pages of the printout
// (fonts and page breaks) and the PDF file written from them. run-pdf-bench.sh times the whole commands.
#include "app/Startup.h"
#include "app/TAppSettings.h"
#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"
#include "sheets/print/SheetPrintout.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QGuiApplication>

#include <chrono>
#include <cstdio>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kalvor-pdf-bench WORKSPACE OUT-FOLDER\n");
        return 2;
    }
    try {
        kalvor::TAppSettings settings;
        kalvor::openConfiguration(settings, QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + u'/');
        kalvor::runNormalStart(settings);
        const QDir out(QString::fromLocal8Bit(argv[2]));
        const auto plan =
            kalvor::sheets::planSheetExport(settings, QString::fromLatin1(kalvor::sheets::kDeclarationTemplate));
        const auto book = kalvor::sheets::XlsxWorkbook::open(plan.templateFile);
        auto start = std::chrono::steady_clock::now();
        kalvor::sheets::DeclarationSheet laidOut = kalvor::sheets::exportDeclaration(plan, book, {});
        const double layout = secondsSince(start);
        start = std::chrono::steady_clock::now();
        book.save(laidOut.sheet, out.filePath(QStringLiteral("bench.xlsx")));
        const double xlsx = secondsSince(start);
        start = std::chrono::steady_clock::now();
        const kalvor::sheets::print::SheetPrintout printout(std::move(laidOut.sheet));
        const double pages = secondsSince(start);
        start = std::chrono::steady_clock::now();
        printout.writePdf(out.filePath(QStringLiteral("bench.pdf")), QStringLiteral("bench"));
        const double pdf = secondsSince(start);
        std::printf("layout %.3f s, xlsx %.3f s, pages %.3f s (%d pages), pdf %.3f s\n", layout, xlsx, pages,
                    printout.pageCount(), pdf);
    } catch (const kalvor::KalvorError &e) {
        std::fprintf(stderr, "%s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
