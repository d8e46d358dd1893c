#pragma once

#include <QString>

namespace kalvor {

// Copies source over destination (atomically, so a failed copy leaves the destination as it was).
// Never throws; returns false on failure.
bool CopyFileReplacing(const QString &source, const QString &destination);

} // namespace kalvor
