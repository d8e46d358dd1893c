#pragma once

#include "gui/sheets/SheetPreviewDialog.h"
#include "sheets/ErrorReport.h"
#include "sheets/SheetExport.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QAction;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The declaration on paper, with no office suite: "Файл" -> "Печать…" (Ctrl+P) lays it out behind the export
// window and opens the preview; "Файл" -> "Сохранить в PDF…" writes it into a file. The error report's
// settings dialog offers the same two for the report.
class PrintCommands final : public QObject {
    Q_OBJECT
public:
    PrintCommands(TAppSettings &settings, QWidget *window, std::function<QString()> periodText,
                  QObject *parent = nullptr);

    QAction *PrintAction = nullptr;
    QAction *SavePdfAction = nullptr;
    void createActions(QObject *owner);

    void PrintActionExecute() { preview({}); }
    void SavePdfActionExecute() { savePdf({}); }
    // The declaration, or with options the error report.
    void preview(const std::optional<sheets::ErrorReportOptions> &report);
    void savePdf(const std::optional<sheets::ErrorReportOptions> &report);

    // --- seams for tests -----------------------------------------------------------------------
    void setPdfFileAsker(PdfFileAsker asker) { m_askPdfFile = std::move(asker); }

private:
    bool plan(const std::optional<sheets::ErrorReportOptions> &report, sheets::SheetExportPlan &out);
    QString suggestedPdf(const sheets::SheetExportPlan &plan, bool report) const;

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    std::function<QString()> m_periodText;
    PdfFileAsker m_askPdfFile;
};

} // namespace kalvor::gui
