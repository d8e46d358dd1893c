#include "gui/common/DialogButtons.h"

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

QHBoxLayout *saveCancelRow(const QString &saveName, const QString &cancelName, QPushButton *&save, QPushButton *&cancel)
{
    save = new QPushButton(QStringLiteral("Сохранить"));
    save->setObjectName(saveName);
    save->setDefault(true);
    cancel = new QPushButton(QStringLiteral("Отмена"));
    cancel->setObjectName(cancelName);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(save);
    row->addWidget(cancel);
    return row;
}

} // namespace kalvor::gui
