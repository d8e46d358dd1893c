#pragma once

#include <QLabel>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The period line's note while a handed-in report from a folder outside the workspace is open: the
// folder's path and the way back to the workspace's own period.
class OutsideReportNotice final : public QLabel {
    Q_OBJECT
public:
    explicit OutsideReportNotice(QWidget *parent = nullptr);

    // Shows the outside folder, or hides itself when the workspace's own period is open; returns the folder.
    QString follow(const TAppSettings &settings);

Q_SIGNALS:
    void backRequested();
};

} // namespace kalvor::gui
