#pragma once

class QWidget;

namespace kalvor::gui {

// Sets the Tab order of a laid-out window to its reading order: row by row from the top, left to right
// within a row, whatever order the controls were made in. Controls out of sight or outside the Tab
// chain stay out of it. Call it once the layout has placed the controls (when the window is shown).
void orderTabsVisually(QWidget *window);
// Orders the window's Tab chain each time it is shown (controls may have been shown or hidden since).
void orderTabsWhenShown(QWidget *window);

} // namespace kalvor::gui
