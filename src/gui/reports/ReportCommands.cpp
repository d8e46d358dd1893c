#include "gui/reports/ReportCommands.h"

#include "app/TAppSettings.h"
#include "dbupload/ConnectionFile.h"
#include "gui/common/MessageBoxes.h"
#include "gui/reports/ReportPeriodForm.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QDate>

namespace kalvor::gui {

ReportCommands::ReportCommands(TAppSettings &settings, QWidget *window, QString shareDir, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_shareDir(std::move(shareDir)),
      m_open(desktopWorkbookOpener()), m_currentYear(QDate::currentDate().year())
{}

QList<QAction *> ReportCommands::createActions(QObject *owner)
{
    const auto make = [owner, this](QAction *&action, const reports::RegulatorReport *report, const QString &name,
                                    const QString &caption, void (ReportCommands::*handler)()) {
        action = new QAction(report ? report->caption : caption, owner);
        action->setObjectName(report ? report->action : name);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    const auto report = [](const char *name) { return reports::findRegulatorReport(QString::fromLatin1(name)); };
    QList<QAction *> menu{
        make(ReportControlAction, report("control"), {}, {}, &ReportCommands::ReportControlActionExecute),
        make(ProductionSupplyAction, report("suppliers"), {}, {}, &ReportCommands::ProductionSupplyActionExecute),
        make(RegionsProductionSupplyAction, report("regions"), {}, {},
             &ReportCommands::RegionsProductionSupplyActionExecute),
        make(ForeignProductionAction, report("import"), {}, {}, &ReportCommands::ForeignProductionActionExecute),
        nullptr,
        make(ReportProductionSupplyLitrAction, report("suppliers-litr"), {}, {},
             &ReportCommands::ReportProductionSupplyLitrActionExecute),
        make(ReportProductionSupplyRaionVOAction, report("raion"), {}, {},
             &ReportCommands::ReportProductionSupplyRaionVOActionExecute),
        make(ReportProductionSupplyProizvVOAction, report("proizv"), {}, {},
             &ReportCommands::ReportProductionSupplyProizvVOActionExecute),
        make(ReportProductionVodka52Action, report("vodka52"), {}, {},
             &ReportCommands::ReportProductionVodka52ActionExecute),
        make(ReportObjects, nullptr, QStringLiteral("ReportObjects"),
             QStringLiteral("Отчет о полноте данных (Объекты) - 10.xls"), &ReportCommands::ReportObjectsExecute),
        nullptr,
    };
    return menu;
}

void ReportCommands::ReportControlActionExecute()
{
    runRegulatorReport("control");
}
void ReportCommands::ProductionSupplyActionExecute()
{
    runRegulatorReport("suppliers");
}
void ReportCommands::RegionsProductionSupplyActionExecute()
{
    runRegulatorReport("regions");
}
void ReportCommands::ForeignProductionActionExecute()
{
    runRegulatorReport("import");
}
void ReportCommands::ReportProductionSupplyLitrActionExecute()
{
    runRegulatorReport("suppliers-litr");
}
void ReportCommands::ReportProductionSupplyRaionVOActionExecute()
{
    runRegulatorReport("raion");
}
void ReportCommands::ReportProductionSupplyProizvVOActionExecute()
{
    runRegulatorReport("proizv");
}
void ReportCommands::ReportProductionVodka52ActionExecute()
{
    runRegulatorReport("vodka52");
}

void ReportCommands::runRegulatorReport(const char *name)
{
    const reports::RegulatorReport &report = *reports::findRegulatorReport(QString::fromLatin1(name));
    TReportPeriodForm ReportPeriodForm(m_window, m_currentYear);
    ReportPeriodForm.setINNVisible(report.control);
    if (ReportPeriodForm.exec() != QDialog::Accepted)
        return;
    try {
        finish(reports::writeRegulatorReport(m_settings.FcurDir, m_shareDir, report, ReportPeriodForm.span(),
                                             ReportPeriodForm.inn()));
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
}

void ReportCommands::ReportObjectsExecute()
{
    // Without a database there is nothing to compare with: one message says so, before any question.
    try {
        dbupload::readConnectionFile(m_settings.FcurDir);
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, QString::fromUtf8(reports::kQueryFailedMessage) + u'\n' + e.message());
        return;
    }
    TReportPeriodForm ReportPeriodForm(m_window, m_currentYear);
    ReportPeriodForm.setPeriod(2000 + m_settings.FPeriodYear, m_settings.FPeriodMonth);
    if (ReportPeriodForm.exec() != QDialog::Accepted)
        return;
    try {
        finish(reports::writeObjectsReport(m_settings, m_shareDir, ReportPeriodForm.span()));
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
}

void ReportCommands::finish(const reports::WrittenReport &written)
{
    if (written.noData) {
        MessageBoxes::information(m_window, QString::fromUtf8(reports::kNoDataMessage));
        return;
    }
    if (!written.notice.isEmpty())
        MessageBoxes::information(m_window, written.notice);
    handOverWorkbook(m_window, m_open, written.fileName);
}

} // namespace kalvor::gui
