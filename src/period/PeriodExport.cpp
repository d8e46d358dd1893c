#include "period/PeriodExport.h"

#include "app/TAppSettings.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QFileInfo>

namespace kalvor::period {

namespace {

void copyInto(const QString &source, const QString &folder)
{
    if (!QFileInfo(source).isFile())
        throw KalvorError(QStringLiteral("Не найден файл %1: выгрузка не выполнена").arg(source));
    copyFileAtomically(source, QDir(folder).filePath(QFileInfo(source).fileName()));
}

} // namespace

QString exportFolder(const QString &chosenFolder, const QString &periodString)
{
    // QDir drops a trailing separator of the chosen folder, so exactly one separator precedes the period.
    return QDir(chosenFolder).filePath(periodString);
}

void exportPeriodFiles(const TAppSettings &settings, const QString &chosenFolder)
{
    const QString folder = exportFolder(chosenFolder, settings.FPeriodString);
    if (!QDir().mkpath(folder))
        throw KalvorError(QStringLiteral("Не удалось создать папку %1").arg(folder));
    // Each copy replaces its target atomically, so an export that fails midway leaves whole files only.
    copyInto(settings.FDeclarationFileName, folder);
    copyInto(settings.FKalvorFileName, folder);
}

std::optional<ArchiverLaunch> archiverLaunch(const TAppSettings &settings, const QString &chosenFolder)
{
    const QString command = settings.FIniFile.readString(QStringLiteral("arc"), QStringLiteral("cmd")).trimmed();
    if (command.isEmpty())
        return std::nullopt;
    const QString folder = exportFolder(chosenFolder, settings.FPeriodString);
    return ArchiverLaunch{
        command,
        {settings.FPeriodString + QStringLiteral(".zip"), QDir::toNativeSeparators(folder + QStringLiteral("/*.*"))}};
}

} // namespace kalvor::period
