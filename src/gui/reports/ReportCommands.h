#pragma once

#include "gui/sheets/SheetCommands.h"
#include "reports/ReportWorkbooks.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The regulator reports of the hidden menu "Отчеты": the control report over one filer, the seven
// summary reports over all filers and the completeness report on the open period's objects. Each asks
// for a span of months, fills its template from the reporting database and hands the workbook to the
// desktop's spreadsheet program.
class ReportCommands final : public QObject {
    Q_OBJECT
public:
    // `shareDir` holds the database scripts (for a new embedded database).
    ReportCommands(TAppSettings &settings, QWidget *window, QString shareDir, QObject *parent = nullptr);

    QAction *ReportControlAction = nullptr;
    QAction *ProductionSupplyAction = nullptr;
    QAction *RegionsProductionSupplyAction = nullptr;
    QAction *ForeignProductionAction = nullptr;
    QAction *ReportProductionSupplyLitrAction = nullptr;
    QAction *ReportProductionSupplyRaionVOAction = nullptr;
    QAction *ReportProductionSupplyProizvVOAction = nullptr;
    QAction *ReportProductionVodka52Action = nullptr;
    QAction *ReportObjects = nullptr;

    // The actions in the order of the menu; a null entry stands for a separator.
    QList<QAction *> createActions(QObject *owner);

    void ReportControlActionExecute();
    void ProductionSupplyActionExecute();
    void RegionsProductionSupplyActionExecute();
    void ForeignProductionActionExecute();
    void ReportProductionSupplyLitrActionExecute();
    void ReportProductionSupplyRaionVOActionExecute();
    void ReportProductionSupplyProizvVOActionExecute();
    void ReportProductionVodka52ActionExecute();
    void ReportObjectsExecute();

    // --- seams for tests -----------------------------------------------------------------------
    void setWorkbookOpener(WorkbookOpener opener) { m_open = std::move(opener); }
    void setCurrentYear(int year) { m_currentYear = year; }

private:
    void runRegulatorReport(const char *name);
    // The outcome of a report: the message for no data, a notice, the workbook handed over.
    void finish(const reports::WrittenReport &written);

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    QString m_shareDir;
    WorkbookOpener m_open;
    int m_currentYear;
};

} // namespace kalvor::gui
