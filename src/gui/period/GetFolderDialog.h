#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace kalvor::gui {

// The folder chooser of the exchange commands: the title given, the whole file system as the tree, a
// path the user may type, and `strFolder` preselected. On success `strFolder` receives the chosen
// folder and the result is true; cancelling gives false and leaves it as it was.
bool GetFolderDialog(QWidget *parent, const QString &caption, QString &strFolder);

// Tests answer the chooser instead of a person; an empty function restores the real dialog.
using FolderChooser = std::function<bool(QWidget *parent, const QString &caption, QString &strFolder)>;
void setFolderChooser(FolderChooser chooser);

} // namespace kalvor::gui
