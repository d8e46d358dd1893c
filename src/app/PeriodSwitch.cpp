#include "app/PeriodSwitch.h"

#include "app/Startup.h"
#include "store/DeclarationKey.h"

#include <QDir>

namespace kalvor {

PeriodFiles filesInFolder(const QString &folderPath)
{
    PeriodFiles files;
    const QDir folder(folderPath);
    // Sorted by name so that "the last one found" is the same on every machine.
    const QStringList names = folder.entryList({QStringLiteral("*.xml"), QStringLiteral("*.XML")},
                                               QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        if (name.size() >= 19 && name.at(18) == u'd')
            files.kalvorFileName = path;
        else
            files.declarationFileName = path;
    }
    return files;
}

std::optional<PeriodFiles> findPeriodFiles(const QString &curDir, int year, int month)
{
    if (month < 1 || month > 12 || year < 0 || year > 99)
        return std::nullopt;
    const QString period = periodString(year, month);
    const QString folder = periodFolder(curDir, period);
    if (!QDir(folder).exists())
        return std::nullopt;
    PeriodFiles files = filesInFolder(folder);
    files.periodString = period;
    if (files.kalvorFileName.isEmpty() || files.declarationFileName.isEmpty())
        return std::nullopt;
    return files;
}

QString periodStem(const TAppSettings &settings, const QString &periodString)
{
    if (settings.Fkalvor.FINN.trimmed().size() >= 10)
        return dkey::stemFor(settings.Fkalvor.FINN.trimmed(), periodString);
    return dkey::withPeriod(settings.FINNYYMMCC, periodString);
}

bool applyPeriod(TAppSettings &settings, int year, int month, const PeriodFiles &files)
{
    settings.SetINNYYMMCC(periodStem(settings, files.periodString));
    settings.SetKalvorFileName(files.kalvorFileName);
    settings.SetDeclarationFileName(files.declarationFileName);
    settings.SetPeriodMonth(month);
    settings.SetPeriodYear(year);
    settings.SetPeriodString(files.periodString);
    return isPeriodConverted(settings.FIniFile, files.periodString);
}

} // namespace kalvor
