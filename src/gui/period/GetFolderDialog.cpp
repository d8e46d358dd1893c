#include "gui/period/GetFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace kalvor::gui {

namespace {

FolderChooser &injectedChooser()
{
    static FolderChooser chooser;
    return chooser;
}

} // namespace

void setFolderChooser(FolderChooser chooser)
{
    injectedChooser() = std::move(chooser);
}

bool GetFolderDialog(QWidget *parent, const QString &caption, QString &strFolder)
{
    if (injectedChooser())
        return injectedChooser()(parent, caption, strFolder);
    QFileDialog dialog(parent, caption);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The tree starts at the root of all drives; the preselected folder is opened and marked.
    const QFileInfo preselected(strFolder);
    if (!strFolder.isEmpty() && preselected.isDir()) {
        dialog.setDirectory(preselected.absoluteDir());
        dialog.selectFile(preselected.absoluteFilePath());
    } else {
        dialog.setDirectory(QDir::rootPath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().constFirst();
    if (chosen.isEmpty() || !QFileInfo(chosen).isDir())
        return false;
    strFolder = QDir::cleanPath(chosen);
    return true;
}

} // namespace kalvor::gui
