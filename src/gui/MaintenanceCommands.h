#pragma once

#include "maintenance/DeclarationRewrite.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QDialog;
class QPushButton;
class QToolButton;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

class TDivideForm;

// The maintenance commands of the main window: the whole-file rewrites and the report splitting of the
// "Сервис" menu, the bulk corrections of the hidden "Отчеты" menu and two hidden buttons. Each rewrite
// closes the window's views through `closeViews`, runs one core function (which keeps a backup of the
// declaration), reopens them through `reopenViews` and shows the command's message.
class MaintenanceCommands final : public QObject {
    Q_OBJECT
public:
    MaintenanceCommands(TAppSettings &settings, QWidget *window, std::function<void()> closeViews,
                        std::function<void()> reopenViews, QObject *parent = nullptr);
    ~MaintenanceCommands() override;

    // "Сервис"
    void ReduceLogParamExecute();
    void ClearLinesExecute();
    void dkey1Click();
    void N38Click(); // loads the current declaration into the splitting window and shows it
    void N39Click(); // shows the splitting window with what it holds
    // "Отчеты" and the hidden buttons
    void ConvertKindProductionActionExecute();
    void N20Click();
    void N21Click();
    void N1001Click();
    void ButtonChNaklClick();

    // Actions in menu order, owned by `owner`, connected to the handlers.
    struct Actions {
        // "Уменьшить файл отчета", "Удалить "пустые" данные" (visible); "Исправление dkey",
        // "Разделить файл отчета", "Разделение" (hidden).
        QList<QAction *> service;
        // "Конвертировать виды продукции" (visible inside its hidden menu); "Перерасчет цены и суммы
        // закупки, кол-во тары", "Заполнить регион (по производителю) - авто, 95%", "Удалить все коды и
        // кол-во внутр. перемещений - авто, 100%" (hidden).
        QList<QAction *> reports;
    };
    Actions createActions(QObject *owner);
    // The hidden tool button SpeedButton16 "Конвертировать" on ConvertKindProductionAction and the hidden
    // button ButtonChNakl "Замена №накладной" of the period bar. Call createActions() first.
    QToolButton *createSpeedButton16(QWidget *parent);
    QPushButton *createButtonChNakl(QWidget *parent);

    QAction *ConvertKindProductionAction() const { return m_convertAction; }
    // Every time a period becomes current: the conversion runs at most once per period.
    void periodChanged(bool converted);

    TDivideForm &divideForm();

    // --- seam for tests ----------------------------------------------------------------------------
    // Shows the splitting window modally; exec() by default.
    void setDialogRunner(std::function<void(QDialog &)> runner) { m_runDialog = std::move(runner); }

private:
    void runRewrite(const std::function<maintenance::MaintenanceResult()> &work, const std::function<void()> &onSuccess = {});

    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    std::function<void()> m_closeViews;
    std::function<void()> m_reopenViews;
    QPointer<QAction> m_convertAction;
    bool m_converted = false;
    std::unique_ptr<TDivideForm> m_divideForm;
    std::function<void(QDialog &)> m_runDialog;
};

} // namespace kalvor::gui
