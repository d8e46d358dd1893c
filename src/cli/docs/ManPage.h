#pragma once

#include "cli/CommandTable.h"

#include <QString>

namespace kalvor::cli {

// The Russian man page of kalvor-cli in roff (man macros), built from the same command table as --help.
QString manPage(const std::vector<Command> &commands, const QString &version);

// Text made safe for one roff line: backslashes and dashes escaped, a leading control character defused.
QString roffText(const QString &text);

} // namespace kalvor::cli
