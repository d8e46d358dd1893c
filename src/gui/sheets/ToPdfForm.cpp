#include "gui/sheets/ToPdfForm.h"

#include "sheets/XlsxWorkbook.h"

namespace kalvor::gui {

ToPdfForm::ToPdfForm(sheets::SheetExportPlan plan, std::optional<sheets::ErrorReportOptions> report, QString pdfFile,
                     QWidget *parent)
    : TToExcelForm(std::move(plan),
                   pdfFile.isEmpty() ? QStringLiteral("Подготовка к печати") : QStringLiteral("Сохранение в PDF"),
                   QStringLiteral("Ошибки при выгрузке ( см. файл error.log ) "), parent),
      m_report(report), m_pdfFile(std::move(pdfFile))
{
    setObjectName(QStringLiteral("ToPdfForm"));
}

QString ToPdfForm::title() const
{
    return (m_report ? QStringLiteral("Отчет об ошибках за %1") : QStringLiteral("Декларация за %1"))
        .arg(m_plan.periodDate);
}

void ToPdfForm::ExportToExcel()
{
    guarded([this] {
        const sheets::XlsxWorkbook workbook = sheets::XlsxWorkbook::open(m_plan.templateFile);
        sheets::SheetLayout sheet;
        if (m_report) {
            sheets::ErrorReport laidOut = sheets::exportErrorReport(m_plan, workbook, *m_report, progress());
            m_complete = laidOut.complete;
            sheet = std::move(laidOut.sheet);
        } else {
            sheets::DeclarationSheet laidOut = sheets::exportDeclaration(
                m_plan, workbook, [this](const QString &line) { Q_EMIT lineAdded(line); }, progress());
            m_complete = laidOut.complete;
            sheet = std::move(laidOut.sheet);
        }
        // A part of the sheet is no document to print or to keep.
        if (!m_complete || terminateThread)
            return;
        auto printout = std::make_unique<sheets::print::SheetPrintout>(std::move(sheet));
        if (!m_pdfFile.isEmpty()) {
            // The pages count one by one: every step is worth showing.
            Progress pages;
            pages.started = [this](qint64 total) { Q_EMIT exportStarted(total); };
            pages.advanced = [this](qint64 done) { Q_EMIT exportProgressed(done); };
            pages.cancelled = [this] { return terminateThread.load(); };
            m_written = printout->writePdf(m_pdfFile, title(), pages);
            m_complete = m_written;
            if (!m_written)
                return;
        }
        m_printout = std::move(printout);
    });
    doClose = true;
    Q_EMIT exportFinished();
}

} // namespace kalvor::gui
