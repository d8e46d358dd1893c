#pragma once

#include <QtGlobal>

#include <vector>

namespace kalvor::period {

// Sorts row numbers ascending in place (the batch upload and the removal of unlinked rows use it).
void SortArray(std::vector<qint32> &list);

} // namespace kalvor::period
