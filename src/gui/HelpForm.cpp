#include "gui/HelpForm.h"

#include "app/MailLink.h"
#include "app/Version.h"
#include "gui/LinkLabel.h"
#include "gui/common/DialogButtons.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace kalvor::gui {
namespace {

QGroupBox *group(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    new QVBoxLayout(box);
    return box;
}

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

THelpForm::THelpForm(const Deployment &deployment, UrlOpener openUrl, QWidget *parent)
    : QDialog(parent), m_deployment(deployment), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("HelpForm"));
    setWindowTitle(QStringLiteral("Помощь"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    LabelName = new QLabel(QStringLiteral("Калвор"), this);
    LabelName->setObjectName(QStringLiteral("LabelName"));
    QFont large = LabelName->font();
    large.setPointSize(26);
    large.setBold(true);
    LabelName->setFont(large);
    LabelName->setStyleSheet(QStringLiteral("color: #B00000;"));
    LabelName->setAlignment(Qt::AlignCenter);

    LabelVersion = new QLabel(QStringLiteral("Версия"), this);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setAlignment(Qt::AlignCenter);

    GroupBoxOwner = group(QStringLiteral(" Владелец программного продукта: "), this);
    LabelOwner = wrappedLabel(m_deployment.ownerName, GroupBoxOwner);
    GroupBoxOwner->layout()->addWidget(LabelOwner);

    GroupBoxConsultation = group(QStringLiteral(" Консультации по заполнению декларации: "), this);
    LabelPhones = wrappedLabel(m_deployment.consultationPhones, GroupBoxConsultation);
    GroupBoxConsultation->layout()->addWidget(LabelPhones);

    GroupBoxSite = group(QStringLiteral(" Сайт программы: "), this);
    Label5 = new LinkLabel(m_deployment.productPage, GroupBoxSite);
    Label5->setObjectName(QStringLiteral("Label5"));
    GroupBoxSite->layout()->addWidget(Label5);

    GroupBoxDeveloper = new QGroupBox(QStringLiteral(" Разработано: "), this);
    Label6 = new LinkLabel(m_deployment.developerName, GroupBoxDeveloper);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setToolTip(m_deployment.developerPage);
    Label7 = new LinkLabel(m_deployment.supportMail, GroupBoxDeveloper);
    Label7->setObjectName(QStringLiteral("Label7"));
    auto *developer = new QGridLayout(GroupBoxDeveloper);
    developer->addWidget(Label6, 0, 0, 1, 2);
    developer->addWidget(new QLabel(QStringLiteral("e-mail:"), GroupBoxDeveloper), 1, 0);
    developer->addWidget(Label7, 1, 1);
    developer->setColumnStretch(1, 1);

    connect(Label5, &LinkLabel::clicked, this, &THelpForm::Label5Click);
    connect(Label6, &LinkLabel::clicked, this, &THelpForm::Label6Click);
    connect(Label7, &LinkLabel::clicked, this, &THelpForm::Label7Click);

    QHBoxLayout *buttons = nullptr;
    ButtonClose = closeButton(this, buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelName);
    layout->addWidget(LabelVersion);
    layout->addSpacing(6);
    for (QGroupBox *box : {GroupBoxOwner, GroupBoxConsultation, GroupBoxSite, GroupBoxDeveloper})
        layout->addWidget(box);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    // A fixed border: the window takes the size its contents need and keeps it.
    for (QLabel *label : {LabelOwner, LabelPhones})
        label->setMinimumWidth(380);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

void THelpForm::FormCreate()
{
    LabelVersion->setText(QStringLiteral("Версия ") + versionText());
}

void THelpForm::Label5Click()
{
    m_openUrl(QUrl(m_deployment.productPage));
}

void THelpForm::Label6Click()
{
    m_openUrl(QUrl(m_deployment.developerPage));
}

void THelpForm::Label7Click()
{
    m_openUrl(supportMailLink(m_deployment.supportMail));
}

} // namespace kalvor::gui
