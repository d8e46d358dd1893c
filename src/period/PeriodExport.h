#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

// Copies the period's declaration and requisites file into <chosen>/<period>/ under their own names,
// replacing what an earlier export left there. A folder that cannot be made or a file that cannot be copied
// throws KalvorError naming it.
void exportPeriodFiles(const TAppSettings &settings, const QString &chosenFolder);

// The external archiver that packs an exported period folder into <period>.zip.
struct ArchiverLaunch {
    QString program;
    QStringList arguments; // the archive name, then the wildcard of the exported folder
};

// The archiver configured in section "arc", key "cmd" of the configuration file, with the arguments for
// the export into `chosenFolder`; none when the key is empty or missing. It is started without a shell,
// so the wildcard reaches the archiver as it is.
std::optional<ArchiverLaunch> archiverLaunch(const TAppSettings &settings, const QString &chosenFolder);

// <chosen>/<period>: where the period's files are exported to.
QString exportFolder(const QString &chosenFolder, const QString &periodString);

} // namespace kalvor::period
