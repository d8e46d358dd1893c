#include "gui/common/CloseButton.h"

#include <QDialog>
#include <QHBoxLayout>

namespace kalvor::gui {

QPushButton *closeButton(QDialog *dialog, QHBoxLayout *&row)
{
    auto *button = new QPushButton(QStringLiteral("Закрыть"), dialog);
    button->setObjectName(QStringLiteral("ButtonClose"));
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::reject);
    row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(button);
    row->addStretch(1);
    return button;
}

} // namespace kalvor::gui
