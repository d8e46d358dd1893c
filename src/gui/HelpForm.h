#pragma once

#include "app/Deployment.h"
#include "gui/UrlOpener.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;

namespace kalvor::gui {

class LinkLabel;

// "О программе..": name, version, owner, consultations and links to the product page, the developer's
// page and the support mail.
class THelpForm final : public QDialog {
    Q_OBJECT
public:
    THelpForm(const Deployment &deployment, UrlOpener openUrl, QWidget *parent = nullptr);

    void Label5Click(); // the product page
    void Label6Click(); // the developer's page
    void Label7Click(); // a mail to support with the subject "kalvor"

    QLabel *LabelName = nullptr;
    QLabel *LabelVersion = nullptr;
    QGroupBox *GroupBoxOwner = nullptr;
    QGroupBox *GroupBoxConsultation = nullptr;
    QGroupBox *GroupBoxSite = nullptr;
    QGroupBox *GroupBoxDeveloper = nullptr;
    QLabel *LabelOwner = nullptr;
    QLabel *LabelPhones = nullptr;
    LinkLabel *Label5 = nullptr;
    LinkLabel *Label6 = nullptr;
    LinkLabel *Label7 = nullptr;
    QPushButton *ButtonClose = nullptr;

private:
    void FormCreate();

    Deployment m_deployment;
    UrlOpener m_openUrl;
};

} // namespace kalvor::gui
