#pragma once

#include "app/Deployment.h"
#include "app/MailLink.h"
#include "gui/UrlOpener.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QDialog;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The commands of the "Помощь" and "Отправить на e-mail" menus. The main window owns one object and
// connects its menu items to the handlers; the settings are read at each call, so a period switch or
// new requisites show in the next mail.
class HelpCommands final : public QObject {
    Q_OBJECT
public:
    HelpCommands(const TAppSettings &settings, const Deployment &deployment, QWidget *window,
                 QObject *parent = nullptr);

    void N30Click(); // "Руководство пользователя"
    void N31Click(); // "Порядок декларирования"
    void N32Click(); // "Постановление о внесении изменений"
    void HelpActionExecute();
    void SendContractMailItemClick();
    void SendNonContractMailItemClick();
    void N24Click(); // "Краткая инструкция"

    // Captions of SendContractMailItem and SendNonContractMailItem.
    QString contractMailItemCaption() const;
    QString nonContractMailItemCaption() const;

    // --- seams for tests ---------------------------------------------------------------------------
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // Shows a modal window; exec() by default.
    void setDialogRunner(std::function<void(QDialog &)> runner) { m_runDialog = std::move(runner); }

private:
    void openDocument(HelpDocument document);
    void sendMail(const QString &address);

    const TAppSettings &m_settings;
    Deployment m_deployment;
    QPointer<QWidget> m_window;
    UrlOpener m_openUrl;
    std::function<void(QDialog &)> m_runDialog;
};

} // namespace kalvor::gui
