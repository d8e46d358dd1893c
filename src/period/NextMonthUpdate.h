#pragma once

#include "app/Progress.h"

#include <QString>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

// The update of a month that exists already from the closing remains of the month before it, after that
// month was corrected. Only what the carry-over sets changes; every entry of the month stays.
struct NextMonthUpdatePlan {
    int year = 0;         // the month updated, counted from 2000
    int month = 0;        // 1-12
    QString periodString; // of the month updated
    QString previousPeriodString;
    QString previousTable;       // the declaration the remains come from
    QString declarationFileName; // the declaration updated
    QString templateFileName;    // templates/xml/declaration.xml, the carried rows' columns
    QString updatedFile;         // temp/<stem>u.xml: where the pass writes before anything is installed
};

// Checks that both months have their declarations. Throws KalvorError with the message to show otherwise;
// nothing is changed. `year` is counted from 2000, `month` 1-12 (the month to update).
NextMonthUpdatePlan planNextMonthUpdate(const TAppSettings &settings, int year, int month);

struct NextMonthUpdateSummary {
    qint64 rowsChanged = 0; // carried rows whose opening remains (and so `rest`) moved
    qint64 rowsAdded = 0;   // carried rows the month lacked
    bool upToDate() const { return rowsChanged == 0 && rowsAdded == 0; }
};

// The pass: carries the previous month's remains as the carry-over does and lays them over the month.
// A row of the month with a carried key gets the carried opening remains in `rest_volume`, and its
// `rest` moves by the same difference; a position or transfer the previous month no longer carries
// (sold out after the correction) opens with 0; carried rows the month lacks are added. A key the month
// uses for another product (a number used again after its row was not carried) stops the update.
// With `write` the result goes to `plan.updatedFile`, unless nothing changes. Safe on a worker thread.
// Throws KalvorError.
NextMonthUpdateSummary updateNextMonthRemains(const NextMonthUpdatePlan &plan, const QString &versionText,
                                              const Progress &progress = {}, bool write = true);

// Replaces the month's declaration with the updated file, keeping the old one in backup/. The updated
// file in temp/ is removed either way.
void installNextMonthUpdate(const TAppSettings &settings, const NextMonthUpdatePlan &plan);

} // namespace kalvor::period
