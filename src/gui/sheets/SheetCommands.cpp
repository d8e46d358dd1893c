#include "gui/sheets/SheetCommands.h"

#include "app/TAppSettings.h"
#include "gui/common/ActionIcons.h"
#include "gui/common/MessageBoxes.h"
#include "gui/sheets/ReportErrorSettingForm.h"
#include "gui/sheets/ToExcelForm.h"
#include "sheets/SheetExport.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace kalvor::gui {

WorkbookOpener desktopWorkbookOpener()
{
    return [](const QString &path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
}

SheetCommands::SheetCommands(TAppSettings &settings, QWidget *window, SheetWindowHooks hooks, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_hooks(std::move(hooks)),
      m_open(desktopWorkbookOpener())
{}

void SheetCommands::createActions(QObject *owner)
{
    ExportToXLSAction =
        new QAction(actionIcon(ActionIcon::Workbook), QStringLiteral("Выгрузить в Excel"), owner);
    ExportToXLSAction->setObjectName(QStringLiteral("ExportToXLSAction"));
    ExportToXLSAction->setToolTip(QStringLiteral("Экспортировать в MS Excel"));
    ReportErrorSetting =
        new QAction(actionIcon(ActionIcon::Check), QStringLiteral("Проверка отчета"), owner);
    ReportErrorSetting->setObjectName(QStringLiteral("ReportErrorSetting"));
    ReportErrorSetting->setToolTip(QStringLiteral("Проверка отчета"));
    connect(ExportToXLSAction, &QAction::triggered, this, &SheetCommands::ExportToXLSActionExecute);
    connect(ReportErrorSetting, &QAction::triggered, this, &SheetCommands::ReportErrorSettingExecute);
}

void handOverWorkbook(QWidget *window, const WorkbookOpener &open, const QString &workbook)
{
    if (!open(workbook))
        MessageBoxes::information(window, QStringLiteral("Не найдена программа, открывающая книги .xlsx. "
                                                         "Книга сохранена в файле %1")
                                              .arg(QDir::toNativeSeparators(workbook)));
}

void SheetCommands::handOver(const QString &workbook) { handOverWorkbook(m_window, m_open, workbook); }

void SheetCommands::ExportToXLSActionExecute()
{
    sheets::SheetExportPlan plan;
    try {
        plan = sheets::planSheetExport(m_settings, QString::fromLatin1(sheets::kDeclarationTemplate),
                                       m_hooks.periodText ? m_hooks.periodText() : QString());
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    TToExcelForm ToExcelForm(plan, m_window);
    ToExcelForm.exec();
    if (!ToExcelForm.errorMessage().isEmpty()) {
        MessageBoxes::error(m_window, ToExcelForm.errorMessage());
        return;
    }
    // A cancelled export shows what it wrote but leaves the period's totals as they were.
    if (ToExcelForm.complete()) {
        try {
            sheets::storePeriodTotals(m_settings.FIniFile, plan.periodString, ToExcelForm.periodTotal());
        } catch (const KalvorError &e) {
            MessageBoxes::error(m_window, e.message());
        }
    }
    handOver(ToExcelForm.workbook());
}

void SheetCommands::ReportErrorSettingExecute()
{
    TReportErrorSettingForm ReportErrorSettingForm(m_window);
    if (m_hooks.highlightOptions)
        ReportErrorSettingForm.setHighlightOptions(m_hooks.highlightOptions());
    const int result = ReportErrorSettingForm.exec();
    const bool onPaper = result == TReportErrorSettingForm::ResultPrint || result == TReportErrorSettingForm::ResultPdf;
    if (result != TReportErrorSettingForm::ResultYes && result != TReportErrorSettingForm::ResultOk && !onPaper)
        return;
    if (m_hooks.setHighlightOptions)
        m_hooks.setHighlightOptions(ReportErrorSettingForm.highlightOptions());
    if (onPaper && m_hooks.printErrorReport)
        m_hooks.printErrorReport(ReportErrorSettingForm.reportOptions(), result == TReportErrorSettingForm::ResultPdf);
    if (result != TReportErrorSettingForm::ResultOk)
        return;

    sheets::SheetExportPlan plan;
    try {
        plan = sheets::planSheetExport(m_settings, QString::fromLatin1(sheets::kErrorReportTemplate),
                                       m_hooks.periodText ? m_hooks.periodText() : QString());
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    // The waybill dates are held against the period being reported.
    sheets::ErrorReportOptions options = ReportErrorSettingForm.reportOptions();
    options.year = plan.year;
    options.month = plan.month;
    TToExcelErrorForm ToExcelErrorForm(plan, options, m_window);
    ToExcelErrorForm.exec();
    if (!ToExcelErrorForm.errorMessage().isEmpty()) {
        MessageBoxes::error(m_window, ToExcelErrorForm.errorMessage());
        return;
    }
    handOver(ToExcelErrorForm.workbook());
}

} // namespace kalvor::gui
