#include "period/SortArray.h"

#include <algorithm>

namespace kalvor::period {

void SortArray(std::vector<qint32> &list)
{
    std::sort(list.begin(), list.end());
}

} // namespace kalvor::period
