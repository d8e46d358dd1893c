#pragma once

#include "cli/CommandTable.h"

#include <QString>

namespace kalvor::cli {

// A bash completion script for kalvor-cli: command names, each command's options, then folders or
// files as its usage line asks (ПАПКА gives folders, any other argument word files).
QString bashCompletion(const std::vector<Command> &commands);

} // namespace kalvor::cli
