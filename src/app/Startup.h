#pragma once

#include "app/TAppSettings.h"
#include "store/TKalvor.h"

#include <QString>

#include <functional>

namespace kalvor {

class Table;

// What the main window shows once the start-up is done.
struct StartupResult {
    bool firstStart = false;
    int periodMonth = 0;      // 1-12
    int periodYear = 0;       // counted from 2000
    QString requisitesLine;
    bool converted = false;   // the period's kinds of production were converted already

    int monthIndex() const { return periodMonth >= 1 && periodMonth <= 12 ? periodMonth - 1 : -1; }
    int yearIndex() const { return yearSelectorIndex(periodYear); }
};

// The period chosen in the period dialog: month index 0 = January, year index 0 = 2006.
struct PeriodChoice {
    int monthIndex = -1;
    int yearIndex = -1;
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

// No period in the configuration file means the program was never set up in this workspace.
bool isFirstStart(const TAppSettings &settings);

// First start: makes the period folder, lets `editor` fill the requisites, saves them and a fresh
// declaration table into the period folder and records everything in the configuration file.
// Throws KalvorError on failure; when the editor declines, the configuration is left as a first start.
StartupResult runFirstStart(TAppSettings &settings, const PeriodChoice &period, const RequisitesEditor &editor);
// The same with requisites given as values (the command line, tests); a refused entry throws with the
// dialog's message.
StartupResult runFirstStart(TAppSettings &settings, const PeriodChoice &period, const RequisitesEntry &requisites);

// Normal start: the period, files and requisites named by the configuration file.
StartupResult runNormalStart(TAppSettings &settings);

// Whether the period's section says its kinds of production were converted; any fault reads as no.
bool isPeriodConverted(const IniFile &ini, const QString &periodString) noexcept;

} // namespace kalvor
