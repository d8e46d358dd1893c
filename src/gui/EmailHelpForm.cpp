#include "gui/EmailHelpForm.h"
#include "gui/common/DialogButtons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::gui {

QStringList TFormEmailHelp::steps()
{
    return {
        QStringLiteral("1. Заполнить (изменить) реквизиты Организации, название и количество подразделений в "
                       "соответствии с Лицензией"),
        QStringLiteral("2. Заполнить данные за отчетный период (Накладные, Продукция, Внутренние перемещения)"),
        QStringLiteral("3. Архивировать файлы отчетного периода в архив ГГГГММ.zip или .rar (файлы находятся в "
                       "директории ../reports/ГГГГММ/ ( где ГГГГ - год, ММ - месяц; например ../reports/200710/ - "
                       "для отчета за Октябрь 2007 г.)"),
        QStringLiteral("4. Сформировать e-mail с отчетностью и отправить по адресу email в меню (нажмите ссылку на "
                       "email в меню <Отправить на e-mail> и готовое письмо откроется в Вашей почтовой программе. Не "
                       "забудьте прикрепить к email файл с отчетностью ГГГГММ.zip или .rar )"),
    };
}

TFormEmailHelp::TFormEmailHelp(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEmailHelp"));
    setWindowTitle(QStringLiteral("Краткая инструкция"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    LabelHeading = new QLabel(QStringLiteral("Инструкция по отправке отчетности"), this);
    LabelHeading->setObjectName(QStringLiteral("LabelHeading"));
    QFont heading = LabelHeading->font();
    heading.setPointSize(heading.pointSize() + 3);
    heading.setBold(true);
    LabelHeading->setFont(heading);
    LabelHeading->setAlignment(Qt::AlignCenter);

    GroupBox1 = new QGroupBox(QStringLiteral(" Последовательность действий "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *stepsLayout = new QVBoxLayout(GroupBox1);
    stepsLayout->setSpacing(10);
    for (const QString &text : steps()) {
        auto *label = new QLabel(text, GroupBox1);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText); // "<Отправить на e-mail>" is text, not a tag
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // A fixed width lets each step take the height its wrapped lines need, no more.
        label->setMinimumWidth(520);
        stepsLayout->addWidget(label);
        StepLabels.append(label);
    }
    stepsLayout->addStretch(1);

    QHBoxLayout *buttons = nullptr;
    ButtonClose = closeButton(this, buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelHeading);
    layout->addSpacing(4);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
}

} // namespace kalvor::gui
