#include "gui/FirstStartDialogs.h"

#include "gui/DeclarationPeriodForm.h"
#include "gui/EssentialForm.h"

#include <QPointer>

namespace kalvor::gui {

PeriodChoice askFirstPeriod(QWidget *parent)
{
    TDeclarationPeriodForm form(parent);
    form.setMode(TDeclarationPeriodForm::Mode::FirstStart);
    if (form.exec() != QDialog::Accepted)
        return {};
    return form.choice();
}

RequisitesEditor requisitesEditorDialog(QWidget *parent)
{
    // The editor may run after the parent is gone; the dialog then has no parent.
    return [owner = QPointer<QWidget>(parent)](Table &requisites) {
        TEssentialForm form(requisites, owner.data());
        form.setCancelEnabled(false);
        return form.exec() == QDialog::Accepted;
    };
}

} // namespace kalvor::gui
