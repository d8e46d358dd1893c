#pragma once

#include "app/TAppSettings.h"

#include <QString>

#include <optional>

namespace kalvor {

// The two files of an existing period folder.
struct PeriodFiles {
    QString periodString;
    QString kalvorFileName;      // INNYYMMCC + "d.xml"
    QString declarationFileName; // any other ".xml"
};

// The files of a period folder by their names: the requisites file has "d" as its 19th character, any
// other ".xml" is the declaration; of several, the last in name order wins. Missing ones stay empty.
PeriodFiles filesInFolder(const QString &folderPath);

// Finds the files of the period (year counted from 2000, month 1-12) under the workspace. A folder that
// is missing, or that lacks either file, counts as no period: switching to it would otherwise show the
// previous period's table under the new period's label.
std::optional<PeriodFiles> findPeriodFiles(const QString &curDir, int year, int month);

// The file-name stem of a period: the INN of the settings' requisites with the period's YYMM, or, when
// the requisites hold no INN, the current stem with the period's YYMM.
QString periodStem(const TAppSettings &settings, const QString &periodString);

// Makes the period current in the settings, its stem included, so that new keys carry its YYMM (the
// configuration file is not written: the next start opens the period recorded there). Returns whether
// the period's kinds of production were converted.
bool applyPeriod(TAppSettings &settings, int year, int month, const PeriodFiles &files);

inline constexpr const char *kPeriodNotFoundMessage = "За выбранный период декларации не найдено";

} // namespace kalvor
