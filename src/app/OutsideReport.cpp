#include "app/OutsideReport.h"

#include "app/TAppSettings.h"

#include <QFileInfo>

namespace kalvor {

QString outsideReportFolder(const TAppSettings &settings)
{
    if (settings.FDeclarationFileName.isEmpty())
        return {};
    const QFileInfo folder(QFileInfo(settings.FDeclarationFileName).absolutePath());
    if (!settings.FPeriodString.isEmpty() &&
        folder == QFileInfo(periodFolder(settings.FcurDir, settings.FPeriodString)))
        return {};
    return folder.absoluteFilePath();
}

} // namespace kalvor
