#include "gui/ConfirmationForm.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kalvor::gui {

TConfirmation_Form::TConfirmation_Form(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Confirmation_Form"));
    setWindowTitle(QStringLiteral("Обновление программы"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    Label1 = new QLabel(QStringLiteral("Внимание!"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);

    Label2 = new QLabel(QStringLiteral("Перед обновлением программа будет закрыта"), this);
    Label2->setObjectName(QStringLiteral("Label2"));

    Msg = new QLabel(this);
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setWordWrap(true);
    Msg->setMinimumHeight(Msg->fontMetrics().lineSpacing() * 2);
    Msg->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button1 = new QPushButton(QStringLiteral("Обновить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, [this] { done(QMessageBox::Yes); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(QMessageBox::Cancel); });

    auto *texts = new QVBoxLayout;
    texts->addWidget(Label1);
    texts->addWidget(Label2);
    texts->addSpacing(6);
    texts->addWidget(Msg, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

} // namespace kalvor::gui
