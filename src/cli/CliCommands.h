#pragma once

#include <QStringList>

namespace kalvor::cli {

// Runs one kalvor-cli command line (the program name first); returns the exit status.
int run(const QStringList &arguments);

} // namespace kalvor::cli
