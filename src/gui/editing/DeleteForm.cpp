#include "gui/editing/DeleteForm.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kalvor::gui {

TDeleteForm::TDeleteForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteForm"));
    setWindowTitle(QStringLiteral("Удаление"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(size, size));
    Msg = new QLabel(this);
    Msg->setObjectName(QStringLiteral("Msg"));
    Msg->setMinimumWidth(220);
    DeleteButton = new QPushButton(QStringLiteral("Удалить"), this);
    DeleteButton->setObjectName(QStringLiteral("DeleteButton"));
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // A slip of the Enter key must not delete: the safe answer is the default.
    CancelButton->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addWidget(Msg, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(DeleteButton);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(DeleteButton, &QPushButton::clicked, this, [this] { done(QMessageBox::Yes); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(QMessageBox::Cancel); });
}

bool TDeleteForm::confirm(const QString &question)
{
    Msg->setText(question);
    CancelButton->setFocus();
    return exec() == QMessageBox::Yes;
}

} // namespace kalvor::gui
