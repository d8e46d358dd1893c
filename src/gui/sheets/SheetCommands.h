#pragma once

#include "editing/HighlightRules.h"
#include "sheets/ErrorReport.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QToolButton;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// What the spreadsheet commands need of the main window.
struct SheetWindowHooks {
    std::function<QString()> periodText; // the month and the year of the period line, "март 2012"
    std::function<HighlightOptions()> highlightOptions;
    // Sets the options and repaints the invoice, position and transfer grids.
    std::function<void(const HighlightOptions &)> setHighlightOptions;
    // The error report on paper: the preview, or with `pdf` a PDF file.
    std::function<void(const sheets::ErrorReportOptions &, bool pdf)> printErrorReport;
};

// Hands a written workbook to the desktop's program for .xlsx; false when nothing could open it.
using WorkbookOpener = std::function<bool(const QString &path)>;
WorkbookOpener desktopWorkbookOpener();
// Opens a written workbook with `open`; when nothing can open it, tells the user where it was saved.
void handOverWorkbook(QWidget *window, const WorkbookOpener &open, const QString &workbook);

// The spreadsheet commands of the main window: the declaration laid out in a workbook ("Сервис" ->
// "Выгрузить в Excel", SpeedButton13) and the error checks with their report ("Проверка отчета",
// SpeedButton21, shown by the service option).
class SheetCommands final : public QObject {
    Q_OBJECT
public:
    SheetCommands(TAppSettings &settings, QWidget *window, SheetWindowHooks hooks, QObject *parent = nullptr);

    QAction *ExportToXLSAction = nullptr;
    QAction *ReportErrorSetting = nullptr;
    void createActions(QObject *owner);

    void ExportToXLSActionExecute();
    void ReportErrorSettingExecute();

    // --- seams for tests -----------------------------------------------------------------------
    void setWorkbookOpener(WorkbookOpener opener) { m_open = std::move(opener); }

private:
    void handOver(const QString &workbook);

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    SheetWindowHooks m_hooks;
    WorkbookOpener m_open;
};

} // namespace kalvor::gui
