#pragma once

#include "app/Progress.h"

#include <QString>

#include <vector>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

// A row whose stored closing remains or purchase sum disagree with the values computed from its other
// fields. The texts are those written to the log: stored values as the grid shows them, computed ones
// rounded as compared, all with a decimal comma.
struct ReconciliationFinding {
    QString dkey;
    QString ttnNumber;
    QString productionName;
    QString departmentCode;
    // Filled only when the remains disagree.
    QString storedRest;
    QString computedRest;
    // Filled only when the purchase sum disagrees.
    QString packageCount;
    QString purchasePrice;
    QString storedSum;
    QString computedSum;

    bool restDiffers() const { return !computedRest.isEmpty(); }
    bool sumDiffers() const { return !computedSum.isEmpty(); }
    // The 14 fields of its log line: the ten above and four empty ones.
    QString logLine() const;
};

struct ReconciliationResult {
    QString message;
    std::vector<ReconciliationFinding> findings;
};

// The first line of the reconciliation's error.log.
QString reconciliationHeader();

// Checks every row of the declaration (all kinds): the remains, other_coming + volume + rest_volume +
// return_volume - volume_charges - return_volume_charges - writeoff_volume_charges - other_charges,
// against `rest` to two decimals, and the purchase sum in thousands of roubles, package_count x
// purches_price / 1000, against `sum_coming` to its three decimals. Computed and stored values are both
// first rounded as a column of three decimals stores them, so a row the program computed never shows.
// Writes error.log afresh with the header and one line per finding (a log that cannot be written is not
// reported). The declaration is only read. Throws KalvorError naming the file when it cannot be read,
// or when cancelled (the old log then stays).
ReconciliationResult reconcileDeclaration(const TAppSettings &settings, const Progress &progress = {});

} // namespace kalvor::period
