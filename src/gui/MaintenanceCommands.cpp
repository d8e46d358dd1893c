#include "gui/MaintenanceCommands.h"

#include "app/TAppSettings.h"
#include "gui/common/MessageBoxes.h"
#include "gui/maintenance/DivideForm.h"
#include "maintenance/FieldCorrections.h"
#include "maintenance/ReportSplit.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QToolButton>

namespace kalvor::gui {

MaintenanceCommands::MaintenanceCommands(TAppSettings &settings, QWidget *window, std::function<void()> closeViews,
                                         std::function<void()> reopenViews, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_closeViews(std::move(closeViews)),
      m_reopenViews(std::move(reopenViews)), m_runDialog([](QDialog &dialog) { dialog.exec(); })
{
}

MaintenanceCommands::~MaintenanceCommands() = default;

void MaintenanceCommands::runRewrite(const std::function<maintenance::MaintenanceResult()> &work,
                                     const std::function<void()> &onSuccess)
{
    if (m_closeViews)
        m_closeViews();
    QString message;
    bool done = false;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            message = work().message;
            done = true;
        } catch (const KalvorError &e) {
            message = e.message();
        } catch (const std::exception &e) {
            message = QString::fromLocal8Bit(e.what());
        }
        QApplication::restoreOverrideCursor();
    }
    // The views come back also after a failure, so the window never stays without its tables.
    try {
        if (m_reopenViews)
            m_reopenViews();
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
    }
    if (!done) {
        MessageBoxes::error(m_window, message);
        return;
    }
    if (onSuccess)
        onSuccess();
    MessageBoxes::information(m_window, message);
}

void MaintenanceCommands::ReduceLogParamExecute()
{
    runRewrite([this] { return maintenance::compactDeclaration(m_settings); });
}

void MaintenanceCommands::ClearLinesExecute()
{
    runRewrite([this] { return maintenance::clearUnlinkedRows(m_settings); });
}

void MaintenanceCommands::dkey1Click()
{
    runRewrite([this] { return maintenance::repairKeys(m_settings); });
}

void MaintenanceCommands::ConvertKindProductionActionExecute()
{
    runRewrite([this] { return maintenance::convertKindProduction(m_settings); }, [this] { periodChanged(true); });
}

void MaintenanceCommands::N20Click()
{
    runRewrite([this] { return maintenance::recomputePurchases(m_settings); });
}

void MaintenanceCommands::N21Click()
{
    runRewrite([this] { return maintenance::fillRegions(m_settings); });
}

void MaintenanceCommands::N1001Click()
{
    runRewrite([this] { return maintenance::clearTransferFigures(m_settings); });
}

void MaintenanceCommands::ButtonChNaklClick()
{
    runRewrite([this] { return maintenance::replaceWaybillNumbers(m_settings); });
}

TDivideForm &MaintenanceCommands::divideForm()
{
    if (!m_divideForm)
        m_divideForm = std::make_unique<TDivideForm>(m_settings, m_window);
    return *m_divideForm;
}

void MaintenanceCommands::N38Click()
{
    // Loading only reads the declaration: nothing is rewritten, so the views stay open.
    try {
        divideForm().setSourceRows(maintenance::declarationAsText(m_settings.FDeclarationFileName));
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    N39Click();
}

void MaintenanceCommands::N39Click()
{
    m_runDialog(divideForm());
}

void MaintenanceCommands::periodChanged(bool converted)
{
    m_converted = converted;
    if (m_convertAction)
        m_convertAction->setEnabled(!converted);
}

MaintenanceCommands::Actions MaintenanceCommands::createActions(QObject *owner)
{
    struct Item {
        const char *name;
        QString caption;
        bool visible;
        void (MaintenanceCommands::*handler)();
    };
    const Item service[] = {
        {"ReduceLogParam", QStringLiteral("Уменьшить файл отчета"), true, &MaintenanceCommands::ReduceLogParamExecute},
        {"ClearLines", QStringLiteral("Удалить \"пустые\" данные"), true, &MaintenanceCommands::ClearLinesExecute},
        {"dkey1", QStringLiteral("Исправление dkey"), false, &MaintenanceCommands::dkey1Click},
        {"N38", QStringLiteral("Разделить файл отчета"), false, &MaintenanceCommands::N38Click},
        {"N39", QStringLiteral("Разделение"), false, &MaintenanceCommands::N39Click},
    };
    const Item reports[] = {
        {"ConvertKindProductionAction", QStringLiteral("Конвертировать виды продукции"), true,
         &MaintenanceCommands::ConvertKindProductionActionExecute},
        {"N20", QStringLiteral("Перерасчет цены и суммы закупки, кол-во тары"), false, &MaintenanceCommands::N20Click},
        {"N21", QStringLiteral("Заполнить регион (по производителю) - авто, 95%"), false, &MaintenanceCommands::N21Click},
        {"N1001", QStringLiteral("Удалить все коды и кол-во внутр. перемещений - авто, 100%"), false,
         &MaintenanceCommands::N1001Click},
    };
    auto make = [this, owner](const Item &item) {
        auto *action = new QAction(item.caption, owner);
        action->setObjectName(QString::fromLatin1(item.name));
        action->setVisible(item.visible);
        connect(action, &QAction::triggered, this, item.handler);
        return action;
    };
    Actions actions;
    for (const Item &item : service)
        actions.service.append(make(item));
    for (const Item &item : reports)
        actions.reports.append(make(item));
    m_convertAction = actions.reports.first();
    m_convertAction->setToolTip(QStringLiteral("Конвертировать виды продукции"));
    periodChanged(m_converted);
    return actions;
}

QToolButton *MaintenanceCommands::createSpeedButton16(QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("SpeedButton16"));
    button->setText(QStringLiteral("Конвертировать"));
    button->setToolTip(QStringLiteral("Конвертировать виды продукции"));
    // Not the action's own button: its caption is the menu's. It follows the action's enabling.
    if (QAction *action = m_convertAction) {
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    }
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setVisible(false);
    return button;
}

QPushButton *MaintenanceCommands::createButtonChNakl(QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("Замена №накладной"), parent);
    button->setObjectName(QStringLiteral("ButtonChNakl"));
    button->setVisible(false);
    connect(button, &QPushButton::clicked, this, &MaintenanceCommands::ButtonChNaklClick);
    return button;
}

} // namespace kalvor::gui
