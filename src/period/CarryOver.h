#pragma once

#include "app/Progress.h"
#include "store/TableData.h"

#include <QString>

#include <string>
#include <vector>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

inline constexpr const char *kCurrentPeriodMessage = "Выбранный период является текущим.";
inline constexpr const char *kNoPreviousDataMessage = "Данных за прошлый месяц не обнаружено.";
inline constexpr const char *kIncompletePeriodMessage = "Выберите месяц и год отчетного периода.";

// Everything the new period needs, worked out before anything is changed.
struct CarryOverPlan {
    int year = 0;  // counted from 2000
    int month = 0; // 1-12
    QString periodString;
    QString stem;                // INNYYMMCC of the new period
    QString folder;              // reports/<period>
    QString kalvorFileName;      // <folder>/<stem>d.xml
    QString declarationFileName; // <folder>/<stem>.xml
    QString templateFileName;    // templates/xml/declaration.xml
    QString previousTable;       // the table the remains come from; empty for an empty new table
    QString carriedFile;         // temp/<stem>.xml: where the pass writes before anything is installed
    // Shown before the new period starts empty because the previous month has no folder.
    QString notice;
    // The new period already has a declaration: replacing it needs the user's consent.
    bool targetExists = false;
    qint64 targetRows = -1; // rows of that declaration; -1 when it cannot be read
};

// Checks the choice and the files it depends on and plans the new period. Throws KalvorError with the
// message to show when the command has to stop (the current period chosen, an incomplete choice, a
// previous folder without a table, a missing template or requisites file); nothing is changed then.
// `year` is counted from 2000, `month` 1-12; anything else is an incomplete choice.
CarryOverPlan planCarryOver(const TAppSettings &settings, int year, int month, bool transferRemains);

// What the carry-over pass did.
struct CarryOverSummary {
    qint64 rowsRead = 0;
    qint64 rowsKept = 0;
    qint64 invoicesDropped = 0;
    qint64 positionsDropped = 0;
    qint64 transfersDropped = 0;
};

// The pass over the previous table: positions and transfers with remains start the month with them as
// opening remains and their movements cleared, the rest are dropped, invoices without a surviving
// position go too; every key gets the new period's YYMM and the first invoice the version stamp. The
// result, in the template's columns and without a change log, is written to `plan.carriedFile`. Safe
// to run on a worker thread: it touches no settings and no file but that one. Throws KalvorError.
CarryOverSummary carryOverRemains(const CarryOverPlan &plan, const QString &versionText, const Progress &progress = {});

// The pass's result in memory, before it is written: the carried table and, for the update of a month
// that exists already, the positions and transfers left behind for lack of remains (keys in the new
// period's form, with their product names).
struct CarriedRemains {
    struct DroppedRow {
        std::string key;
        std::string productionName;
    };
    TableData table;
    std::vector<DroppedRow> dropped;
    CarryOverSummary summary;
};
CarriedRemains carryRemains(const CarryOverPlan &plan, const QString &versionText, const Progress &progress = {});

// Makes the planned period current: its folder, the requisites copy, the declaration (the carried file,
// or the template when `plan.previousTable` is empty), the settings and the configuration file's
// "last_period". An existing declaration is kept in the backup folder before it is replaced. A failure
// (a full disk, say) throws with the system's reason and leaves no new folder or requisites copy behind;
// the carried file in temp/ is removed either way.
void installPeriod(TAppSettings &settings, const CarryOverPlan &plan);

} // namespace kalvor::period
