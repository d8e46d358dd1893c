#pragma once

#include <QStringList>

namespace kalvor::cli {

// Runs one kalvor-cli command line (the program name first); returns the exit status.
int run(const QStringList &arguments);

// Whether the command a command line names draws text, so that main() makes a QGuiApplication for it.
bool needsFonts(const QStringList &arguments);

} // namespace kalvor::cli
