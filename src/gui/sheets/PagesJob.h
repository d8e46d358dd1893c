#pragma once

#include "app/Progress.h"

#include <QString>

#include <functional>

class QWidget;

namespace kalvor::gui {

// Runs `work` (writing or printing pages) on a worker thread behind a modal progress window with
// "Отмена", which asks the work to stop after the current pages. A failure is shown in a message box.
// Returns what the work returned: false when it was cancelled or failed.
bool runPagesJob(QWidget *parent, const QString &caption, const std::function<bool(const Progress &)> &work);

} // namespace kalvor::gui
