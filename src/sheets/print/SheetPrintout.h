#pragma once

#include "app/Progress.h"
#include "sheets/SheetLayout.h"
#include "sheets/print/FontSet.h"
#include "sheets/print/SheetPages.h"

#include <QString>

#include <functional>

class QPagedPaintDevice;

namespace kalvor::sheets::print {

// A finished sheet ready for paper: the layout (kept), its fonts and its pages. The pages are computed
// once (a pass over the rows); each page is drawn only when it is shown, printed or written.
class SheetPrintout final {
public:
    // Throws KalvorError when the fonts cannot be found.
    explicit SheetPrintout(SheetLayout sheet);
    SheetPrintout(const SheetPrintout &) = delete;
    SheetPrintout &operator=(const SheetPrintout &) = delete;

    const SheetLayout &sheet() const { return m_sheet; }
    const SheetPages &pages() const { return m_pages; }
    int pageCount() const { return m_pages.pageCount(); }

    // Writes the PDF file atomically (nothing appears under the name until the last page is in). The
    // pages are drawn and compressed on several threads, a few at a time, and written in order. Progress
    // counts pages; a cancel leaves no file and returns false. Throws KalvorError naming the file when it
    // cannot be written.
    bool writePdf(const QString &fileName, const QString &title, const Progress &progress = {}) const;

    // Draws the pages first..last (0-based; -1 for the last page) on a printer or another paged device, in
    // the paper's points whatever the device's resolution. On a cancel `abortJob` (a printer's abort()) runs
    // before painting ends, and the result is false. Throws KalvorError when the device cannot be painted on.
    bool print(QPagedPaintDevice &device, const Progress &progress = {}, const std::function<void()> &abortJob = {},
               int first = 0, int last = -1) const;

private:
    SheetLayout m_sheet;
    FontSet m_fonts;
    SheetPages m_pages;
};

} // namespace kalvor::sheets::print
