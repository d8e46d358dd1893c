#pragma once

#include <QString>

namespace kalvor {

// The reason the system gave for a failed file operation, in Russian: the user reads "Нет места на
// устройстве", not the text of the C locale.
QString systemErrorText(int errnum);

// The same for the error text Qt reports for a file: the C locale's texts of the usual reasons are put
// into Russian, any other text (already in the user's language) is kept.
QString systemReason(const QString &qtErrorString);

} // namespace kalvor
