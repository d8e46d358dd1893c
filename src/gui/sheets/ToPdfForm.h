#pragma once

#include "gui/sheets/ToExcelForm.h"
#include "sheets/print/SheetPrintout.h"

#include <memory>
#include <optional>

namespace kalvor::gui {

// The export window laying the declaration (or, with report options, the error report) out for paper:
// the rows first, then the pages; with a file name also the PDF file, page by page. "Отмена" stops the
// work: nothing is shown or written.
class ToPdfForm final : public TToExcelForm {
    Q_OBJECT
public:
    ToPdfForm(sheets::SheetExportPlan plan, std::optional<sheets::ErrorReportOptions> report, QString pdfFile,
              QWidget *parent = nullptr);

    void ExportToExcel() override;

    // After the window closed: the pages ready for the preview or the printer (none when cancelled or
    // failed), and for a PDF whether the file was written.
    std::unique_ptr<sheets::print::SheetPrintout> takePrintout() { return std::move(m_printout); }
    bool written() const { return m_written; }
    // "Декларация за март 2012", "Отчет об ошибках за март 2012": the document's title.
    QString title() const;

private:
    std::optional<sheets::ErrorReportOptions> m_report;
    QString m_pdfFile;
    std::unique_ptr<sheets::print::SheetPrintout> m_printout;
    bool m_written = false;
};

} // namespace kalvor::gui
