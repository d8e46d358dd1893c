#pragma once

#include "app/Startup.h"

class QWidget;

namespace kalvor::gui {

// The period dialog as the first start shows it: it returns only with a month and a year chosen.
PeriodChoice askFirstPeriod(QWidget *parent);

// The requisites dialog for the first start's scratch table, with "Отмена" disabled; the editor returns
// true once the entry was saved through the validation.
RequisitesEditor requisitesEditorDialog(QWidget *parent);

} // namespace kalvor::gui
