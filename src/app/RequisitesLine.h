#pragma once

#include "store/TKalvor.h"

#include <QString>

namespace kalvor {

// The requisites line under the period selectors: name, INN, legal address, licence and its expiry,
// e.g. "ООО Ромашка, ИНН 1234567890, г. Тула, А 123, 31.12.2012".
QString requisitesLine(const TKalvor &kalvor);

} // namespace kalvor
