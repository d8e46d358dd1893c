#include "sheets/print/SheetPrintout.h"

#include "sheets/print/PainterCanvas.h"
#include "sheets/print/PdfCanvas.h"
#include "sheets/print/PdfDocument.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

namespace kalvor::sheets::print {

namespace {

// Pages each thread draws before the batch is written: enough to keep the threads busy, few enough
// that a batch holds a megabyte or two.
constexpr int kPagesPerThread = 8;

} // namespace

SheetPrintout::SheetPrintout(SheetLayout sheet)
    : m_sheet(std::move(sheet)), m_fonts(m_sheet), m_pages(m_sheet, m_fonts, PageSetup::a4(m_sheet.page().landscape))
{}

bool SheetPrintout::writePdf(const QString &fileName, const QString &title, const Progress &progress) const
{
    const auto failed = [&fileName] {
        return KalvorError(QStringLiteral("Не удалось записать файл %1").arg(QDir::toNativeSeparators(fileName)));
    };
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw failed();
    const int pages = m_pages.pageCount();
    progress.start(pages);
    PdfDocument pdf(file, m_fonts, m_pages.setup().paper, title);
    const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
    const int batch = threads * kPagesPerThread;
    std::vector<GlyphUse> uses(static_cast<std::size_t>(threads));
    std::vector<QByteArray> done(static_cast<std::size_t>(batch));
    for (int first = 0; first < pages; first += batch) {
        const int count = std::min(batch, pages - first);
        std::atomic<int> next{0};
        std::exception_ptr failure;
        std::mutex failureMutex;
        const auto work = [&](int worker) {
            try {
                PdfCanvas canvas(m_fonts, m_pages.setup().paper.height(), uses[std::size_t(worker)]);
                for (int i = next++; i < count; i = next++) {
                    m_pages.drawPage(first + i, canvas);
                    done[std::size_t(i)] = PdfDocument::deflate(canvas.take());
                }
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                failure = std::current_exception();
                next = count;
            }
        };
        std::vector<std::thread> pool;
        for (int w = 1; w < std::min(threads, count); ++w)
            pool.emplace_back(work, w);
        work(0);
        for (std::thread &t : pool)
            t.join();
        if (failure)
            std::rethrow_exception(failure);
        for (int i = 0; i < count; ++i)
            pdf.addPage(std::exchange(done[std::size_t(i)], QByteArray()));
        progress.step(first + count);
        if (progress.isCancelled()) {
            file.cancelWriting();
            return false;
        }
    }
    GlyphUse use;
    for (const GlyphUse &u : uses)
        use.merge(u);
    pdf.finish(use);
    if (!pdf.ok() || !file.commit())
        throw failed();
    return true;
}

bool SheetPrintout::print(QPagedPaintDevice &device, const Progress &progress, const std::function<void()> &abortJob,
                          int first, int last) const
{
    first = std::clamp(first, 0, m_pages.pageCount() - 1);
    last = last < 0 ? m_pages.pageCount() - 1 : std::clamp(last, first, m_pages.pageCount() - 1);
    QPainter painter;
    if (!painter.begin(&device))
        throw KalvorError(QStringLiteral("Не удалось начать печать"));
    progress.start(last - first + 1);
    PainterCanvas canvas(painter, m_fonts);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage())
            throw KalvorError(QStringLiteral("Не удалось перейти к следующей странице при печати"));
        painter.save();
        const QRectF paint = device.pageLayout().paintRectPoints();
        painter.scale(device.logicalDpiX() / 72.0, device.logicalDpiY() / 72.0);
        painter.translate(-paint.topLeft());
        m_pages.drawPage(page, canvas);
        painter.restore();
        progress.step(page - first + 1);
        if (progress.isCancelled()) {
            if (abortJob)
                abortJob();
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

} // namespace kalvor::sheets::print
