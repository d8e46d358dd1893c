#pragma once

#include "app/PeriodNames.h"
#include "app/TAppSettings.h"
#include "store/TKalvor.h"

#include <QString>

#include <functional>
#include <optional>

namespace kalvor {

class Table;

// What the main window shows once the start-up is done.
struct StartupResult {
    bool firstStart = false;
    int periodMonth = 0;      // 1-12
    int periodYear = 0;       // counted from 2000
    QString requisitesLine;
    bool converted = false;   // the period's kinds of production were converted already
};

// The period chosen in the period dialog; anything outside the ranges means nothing was chosen.
struct PeriodChoice {
    int month = 0; // 1-12
    int year = -1; // counted from 2000

    bool complete() const { return month >= 1 && month <= 12 && isPeriodYear(year); }
};

// Given the open requisites table on temp/kalvor.xml, lets the user fill its row; true when the
// requisites were confirmed.
using RequisitesEditor = std::function<bool(Table &requisites)>;

// Names of the configuration file's sections and keys.
namespace config {
inline const QString kLastPeriod = QStringLiteral("last_period");
inline const QString kPeriod = QStringLiteral("period");
inline const QString kStem = QStringLiteral("INNYYMMCC");
inline const QString kKalvor = QStringLiteral("kalvor");
inline const QString kDeclaration = QStringLiteral("declaration");
inline const QString kDepartment = QStringLiteral("department");
inline const QString kRegions = QStringLiteral("regions");
inline const QString kProduction = QStringLiteral("production");
inline const QString kSupplier = QStringLiteral("supplier");
inline const QString kProdReference = QStringLiteral("prodReference");
inline const QString kConverted = QStringLiteral("Converted");
} // namespace config

// Sets the workspace folder (ending in "/") and opens its "tamrel.ini" as the settings' configuration file.
void openConfiguration(TAppSettings &settings, const QString &curDir);

// A configuration without the period, the requisites or the declaration means the program was never
// (or not wholly) set up in this workspace.
bool isFirstStart(const TAppSettings &settings);

// Shown when the first start's dialogs are left without a period or requisites.
inline constexpr const char *kSetupDeclinedMessage =
    "Программа не может работать без отчетного периода и реквизитов организации. "
    "Они будут запрошены при следующем запуске.";

// First start: makes the period folder, lets `editor` fill the requisites, saves them and a fresh
// declaration table into the period folder and records everything in the configuration file, which is
// written once, at the end. Nothing (when the editor declines) or KalvorError on failure; either way the
// configuration file is left as it was and a period folder made here is removed.
std::optional<StartupResult> runFirstStart(TAppSettings &settings, const PeriodChoice &period,
                                           const RequisitesEditor &editor);
// The same with requisites given as values (the command line, tests); a refused entry throws with the
// dialog's message.
StartupResult runFirstStart(TAppSettings &settings, const PeriodChoice &period, const RequisitesEntry &requisites);

// Normal start: the period, files and requisites named by the configuration file.
StartupResult runNormalStart(TAppSettings &settings);

// Whether the period's section says its kinds of production were converted; any fault reads as no.
bool isPeriodConverted(const IniFile &ini, const QString &periodString) noexcept;

} // namespace kalvor
