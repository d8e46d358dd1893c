#pragma once

#include "app/Startup.h"

class QWidget;

namespace kalvor::gui {

// The period dialog as the first start shows it: a month and a year, or nothing chosen when the user
// left it (Escape, the close box).
PeriodChoice askFirstPeriod(QWidget *parent);

// The requisites dialog for the first start's scratch table, with "Отмена" disabled; the editor returns
// true once the entry was saved through the validation, false when the user left it (Escape, the close box).
RequisitesEditor requisitesEditorDialog(QWidget *parent);

} // namespace kalvor::gui
