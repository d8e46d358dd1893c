#include "gui/period/DialogForm.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::gui {

namespace {

// A ticked, disabled box: it only tells what adding does. Its text wraps beside it, as a long caption
// would otherwise widen the window past the screen.
QWidget *describing(const QString &text)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *box = new QCheckBox;
    box->setChecked(true);
    box->setEnabled(false);
    auto *label = new QLabel(text);
    label->setWordWrap(true);
    label->setEnabled(false);
    label->setBuddy(box);
    layout->addWidget(box, 0, Qt::AlignTop);
    layout->addWidget(label, 1);
    return row;
}

QPushButton *button(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

} // namespace

TDialogForm::TDialogForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogForm"));
    setWindowTitle(QStringLiteral("Добавление отчета"));

    Msg = new QLabel(QStringLiteral("Добавить отчет к текущему или заменить ?"));
    Msg->setObjectName(QStringLiteral("Msg"));
    ButtonAdd = button(QStringLiteral("ButtonAdd"), QStringLiteral("Добавить.."));
    ButtonReplace = button(QStringLiteral("ButtonReplace"), QStringLiteral("Заменить.."));
    ButtonCancel = button(QStringLiteral("ButtonCancel"), QStringLiteral("Отмена"));

    auto *adding = new QGroupBox(QStringLiteral(" Добавление данных "));
    auto *addingLayout = new QVBoxLayout(adding);
    addingLayout->addWidget(
        describing(QStringLiteral("автоматическая конвертация (если отчет добавляется с другим ИНН)")));
    addingLayout->addWidget(describing(QStringLiteral("автоматическое приведение отчетного периода (период из "
                                                      "подгружаемого файла заменяется на текущий отчетный период)")));
    addingLayout->addWidget(ButtonAdd, 0, Qt::AlignRight);

    auto *replacing = new QGroupBox(QStringLiteral(" Изменение данных"));
    auto *replacingLayout = new QVBoxLayout(replacing);
    auto *text = new QLabel(QStringLiteral("Данные заменяются без корректировки и переносятся в текущий период "
                                           "\"так как есть\" из подгружаемого файла"));
    text->setWordWrap(true);
    replacingLayout->addWidget(text);
    replacingLayout->addWidget(ButtonReplace, 0, Qt::AlignRight);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ButtonCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Msg);
    layout->addWidget(adding);
    layout->addWidget(replacing);
    layout->addLayout(bottom);
    setMinimumWidth(520);

    connect(ButtonAdd, &QPushButton::clicked, this, [this] { done(Add); });
    connect(ButtonReplace, &QPushButton::clicked, this, [this] { done(Replace); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { done(Cancel); });
}

} // namespace kalvor::gui
