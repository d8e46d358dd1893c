#include "gui/period/GetFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>

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
    // The preselected folder is opened and marked; without one the tree starts at the home folder.
    const QFileInfo preselected(strFolder);
    if (!strFolder.isEmpty() && preselected.isDir()) {
        dialog.setDirectory(preselected.absoluteDir());
        dialog.selectFile(preselected.absoluteFilePath());
    } else {
        dialog.setDirectory(QDir::homePath());
    }
    // Qt's own chooser: room for the dates of the detail view.
    dialog.resize(860, 520);
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
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
