#pragma once

#include <QIcon>

namespace kalvor::gui {

// The program's icon at every size rendered into share/icons, built into the program so that it never
// depends on where the program was installed.
QIcon applicationIcon();

// Gives every window and dialog the program's icon and names its desktop entry (kalvor.desktop), by
// which desktops match the running program to its menu entry.
void installApplicationIcon();

} // namespace kalvor::gui
