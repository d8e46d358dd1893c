#pragma once

#include "app/IniFile.h"
#include "store/TKalvor.h"

#include <QString>

#include <utility>

namespace kalvor {

// The settings of the run: the current period, its files, the reference books, the requisites and the
// open configuration file. One object lives for the whole run and is handed to every command.
class TAppSettings final {
public:
    TAppSettings() = default;
    TAppSettings(const TAppSettings &) = delete;
    TAppSettings &operator=(const TAppSettings &) = delete;

    void SetPeriodMonth(qint32 value) { FPeriodMonth = value; }
    void SetPeriodYear(qint32 value) { FPeriodYear = value; }
    void SetDepartmentCodeFileName(const QString &value) { FDepartmentCodeFileName = value; }
    void SetRegionsFileName(const QString &value) { FRegionsFileName = value; }
    void SetSupplierFileName(const QString &value) { FSupplierFileName = value; }
    void SetKalvorFileName(const QString &value) { FKalvorFileName = value; }
    void SetPeriodString(const QString &value) { FPeriodString = value; }
    void SetDeclarationFileName(const QString &value) { FDeclarationFileName = value; }
    void SetProductionFileName(const QString &value) { FProductionFileName = value; }
    void SetINNYYMMCC(const QString &value) { FINNYYMMCC = value; }
    void SetcurDir(const QString &value) { FcurDir = value; }
    void Setkalvor(const TKalvor &value) { Fkalvor = value; }
    void SetIniFile(IniFile value) { FIniFile = std::move(value); }
    void SetProductionReferenceFileName(const QString &value) { FProductionReferenceFileName = value; }

    qint32 FPeriodMonth = 0;               // 1-12
    qint32 FPeriodYear = 0;                // counted from 2000
    QString FDepartmentCodeFileName;
    QString FRegionsFileName;
    QString FSupplierFileName;
    QString FKalvorFileName;
    QString FPeriodString;                 // "20" + YY + MM
    QString FDeclarationFileName;
    QString FProductionFileName;
    QString FINNYYMMCC;
    QString FcurDir;                       // the workspace folder, ending in "/"
    TKalvor Fkalvor;
    IniFile FIniFile;
    QString FProductionReferenceFileName;
};

// Period helpers. Years are counted from 2000, months 1-12.

// "20" + year "%.2d" + month "%.2d": year 12, month 3 give "201203".
QString periodString(int year, int month);
// Month (characters 5-6) and year (characters 3-4) of a period string; KalvorError when not numbers.
int periodMonthOf(const QString &periodString);
int periodYearOf(const QString &periodString);
// The month after / before, as (year, month).
std::pair<int, int> nextPeriod(int year, int month);
std::pair<int, int> previousPeriod(int year, int month);
// The period's folder: workspace + "reports/" + period string (no trailing separator).
QString periodFolder(const QString &curDir, const QString &periodString);

} // namespace kalvor
