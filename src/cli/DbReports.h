#pragma once

#include "cli/CommandTable.h"

namespace kalvor::cli {

// kalvor-cli db report NAME --from YYYYMM --to YYYYMM [--inn INN] OUT.xlsx
int dbReport(const Options &options, const QStringList &args);
// kalvor-cli db objects-report --from YYYYMM --to YYYYMM OUT.xlsx
int dbObjectsReport(const Options &options, const QStringList &args);

} // namespace kalvor::cli
