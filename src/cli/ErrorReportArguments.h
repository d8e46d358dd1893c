#pragma once

#include "sheets/ErrorReport.h"

#include <QStringList>

#include <optional>

namespace kalvor::cli {

// The error report's options on a command line: --max N, --checks rest,empty,ttn,kind,vodka,cognac,
// --vodka X and --cognac X. The other arguments go to `rest` in their order. Returns nothing when the
// options read, else what is wrong (empty when the usage line says enough).
std::optional<QString> readErrorReportArguments(const QStringList &args, sheets::ErrorReportOptions &report,
                                                QStringList &rest);

} // namespace kalvor::cli
