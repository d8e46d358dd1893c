#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QDialog;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The reference book commands of the "Справочники" menu. The main window owns one object, adds the
// actions of createActions() after "Реквизиты" and calls DepartmentCodeActionExecute at the end of the
// first start. The settings are read at each call, so the current period's requisites count.
class RefBookCommands final : public QObject {
    Q_OBJECT
public:
    RefBookCommands(TAppSettings &settings, QWidget *window, QObject *parent = nullptr);

    void SupplierActionExecute();
    void RegionCodeActionExecute();
    void KindProductionActionExecute();
    void DepartmentCodeActionExecute();
    void ProductionReferenceActionExecute();

    // "Поставщики", "Регионы", "Виды продукции", "Обособленные подразделения", "Продукция", in menu
    // order, connected to the handlers and owned by `owner`. Object names: SupplierAction,
    // RegionCodeAction, KindProductionAction, DepartmentCodeAction, ProductionReferenceAction.
    QList<QAction *> createActions(QObject *owner);

    // --- seam for tests ----------------------------------------------------------------------------
    // Shows a modal window; exec() by default.
    void setDialogRunner(std::function<void(QDialog &)> runner) { m_runDialog = std::move(runner); }

private:
    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    std::function<void(QDialog &)> m_runDialog;
};

} // namespace kalvor::gui
