#pragma once

#include <QString>

namespace kalvor {

// Copies a regular file over destination atomically, so a failed copy leaves the destination as it was.
// Throws KalvorError naming the file that could not be read or written, with the system's reason.
void copyFileAtomically(const QString &source, const QString &destination);

// The same, for callers that only need to know whether it worked: never throws, false on failure.
bool CopyFileReplacing(const QString &source, const QString &destination);

} // namespace kalvor
