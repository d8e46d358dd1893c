#include "gui/RefBookCommands.h"

#include "app/TAppSettings.h"
#include "gui/refbooks/CodeListForms.h"
#include "gui/refbooks/DepartmentCodeForms.h"
#include "gui/refbooks/ProductionReferenceForms.h"
#include "gui/refbooks/SupplierForms.h"

#include <QAction>

namespace kalvor::gui {

RefBookCommands::RefBookCommands(TAppSettings &settings, QWidget *window, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_runDialog([](QDialog &dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("RefBookCommands"));
}

void RefBookCommands::SupplierActionExecute()
{
    TSupplierForm form(m_settings.FSupplierFileName, m_window);
    m_runDialog(form);
}

void RefBookCommands::RegionCodeActionExecute()
{
    TRegionsForm form(m_settings.FRegionsFileName, m_window);
    m_runDialog(form);
}

void RefBookCommands::KindProductionActionExecute()
{
    TKindProductionForm form(m_settings.FProductionFileName, m_window);
    m_runDialog(form);
}

void RefBookCommands::DepartmentCodeActionExecute()
{
    TDepartmentCodeForm form(m_settings.FDepartmentCodeFileName, m_settings.FKalvorFileName, m_window);
    m_runDialog(form);
}

void RefBookCommands::ProductionReferenceActionExecute()
{
    TProductionReferenceForm form(m_settings.FProductionReferenceFileName, m_settings.FProductionFileName,
                                  m_settings.FRegionsFileName, m_window);
    m_runDialog(form);
}

QList<QAction *> RefBookCommands::createActions(QObject *owner)
{
    struct Item {
        const char *name;
        QString caption;
        void (RefBookCommands::*handler)();
    };
    const Item items[] = {
        {"SupplierAction", QStringLiteral("Поставщики"), &RefBookCommands::SupplierActionExecute},
        {"RegionCodeAction", QStringLiteral("Регионы"), &RefBookCommands::RegionCodeActionExecute},
        {"KindProductionAction", QStringLiteral("Виды продукции"), &RefBookCommands::KindProductionActionExecute},
        {"DepartmentCodeAction", QStringLiteral("Обособленные подразделения"),
         &RefBookCommands::DepartmentCodeActionExecute},
        {"ProductionReferenceAction", QStringLiteral("Продукция"), &RefBookCommands::ProductionReferenceActionExecute},
    };
    QList<QAction *> actions;
    for (const Item &item : items) {
        auto *action = new QAction(item.caption, owner);
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
        actions.append(action);
    }
    return actions;
}

} // namespace kalvor::gui
