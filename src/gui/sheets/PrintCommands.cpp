#include "gui/sheets/PrintCommands.h"

#include "app/TAppSettings.h"
#include "gui/common/MessageBoxes.h"
#include "gui/sheets/ToPdfForm.h"
#include "sheets/SheetExport.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStyle>

namespace kalvor::gui {

PrintCommands::PrintCommands(TAppSettings &settings, QWidget *window, std::function<QString()> periodText,
                             QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_periodText(std::move(periodText)),
      m_askPdfFile(pdfFileDialog())
{}

void PrintCommands::createActions(QObject *owner)
{
    QStyle *style = QApplication::style();
    PrintAction = new QAction(style->standardIcon(QStyle::SP_FileDialogContentsView), QStringLiteral("Печать…"), owner);
    PrintAction->setObjectName(QStringLiteral("PrintAction"));
    PrintAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    PrintAction->setToolTip(QStringLiteral("Просмотр и печать декларации"));
    SavePdfAction =
        new QAction(style->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Сохранить в PDF…"), owner);
    SavePdfAction->setObjectName(QStringLiteral("SavePdfAction"));
    SavePdfAction->setToolTip(QStringLiteral("Сохранить декларацию в файл PDF"));
    connect(PrintAction, &QAction::triggered, this, &PrintCommands::PrintActionExecute);
    connect(SavePdfAction, &QAction::triggered, this, &PrintCommands::SavePdfActionExecute);
}

bool PrintCommands::plan(const std::optional<sheets::ErrorReportOptions> &report, sheets::SheetExportPlan &out)
{
    try {
        out = sheets::planSheetExport(
            m_settings, QString::fromLatin1(report ? sheets::kErrorReportTemplate : sheets::kDeclarationTemplate),
            m_periodText ? m_periodText() : QString());
        return true;
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return false;
    }
}

QString PrintCommands::suggestedPdf(const sheets::SheetExportPlan &plan, bool report) const
{
    const QString name =
        (report ? QStringLiteral("Отчет об ошибках за %1.pdf") : QStringLiteral("Декларация за %1.pdf"))
            .arg(plan.periodDate);
    return QDir(plan.curDir).filePath(name);
}

namespace {

// The waybill dates of the report are held against the period being reported.
std::optional<sheets::ErrorReportOptions> forPlan(std::optional<sheets::ErrorReportOptions> report,
                                                  const sheets::SheetExportPlan &plan)
{
    if (report) {
        report->year = plan.year;
        report->month = plan.month;
    }
    return report;
}

} // namespace

void PrintCommands::preview(const std::optional<sheets::ErrorReportOptions> &report)
{
    sheets::SheetExportPlan p;
    if (!plan(report, p))
        return;
    ToPdfForm form(p, forPlan(report, p), QString(), m_window);
    form.exec();
    if (!form.errorMessage().isEmpty()) {
        MessageBoxes::error(m_window, form.errorMessage());
        return;
    }
    std::unique_ptr<sheets::print::SheetPrintout> printout = form.takePrintout();
    if (!printout)
        return;
    SheetPreviewDialog dialog(std::move(printout), form.title(), suggestedPdf(p, report.has_value()), m_askPdfFile,
                              m_window);
    dialog.exec();
}

void PrintCommands::savePdf(const std::optional<sheets::ErrorReportOptions> &report)
{
    sheets::SheetExportPlan p;
    if (!plan(report, p))
        return;
    const QString file = m_askPdfFile(m_window, suggestedPdf(p, report.has_value()));
    if (file.isEmpty())
        return;
    ToPdfForm form(p, forPlan(report, p), file, m_window);
    form.exec();
    if (!form.errorMessage().isEmpty()) {
        MessageBoxes::error(m_window, form.errorMessage());
        return;
    }
    if (form.written())
        MessageBoxes::information(m_window, QStringLiteral("Файл %1 записан: страниц %2")
                                                .arg(QDir::toNativeSeparators(file))
                                                .arg(form.takePrintout()->pageCount()));
}

} // namespace kalvor::gui
