#pragma once

#include <QString>

namespace kalvor {

class TAppSettings;

// The folder of the declaration in use when it is not the workspace's own period (a handed-in report
// loaded from a folder elsewhere); empty when the workspace's own period is open.
QString outsideReportFolder(const TAppSettings &settings);

} // namespace kalvor
