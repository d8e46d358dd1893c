#include "sheets/calc/TOOMergedCells.h"

namespace kalvor::sheets::calc {

void TOOMergedCells::Delete(int AIndex)
{
    if (AIndex >= 0 && AIndex < Count())
        FList.erase(FList.begin() + AIndex);
}

TOORange TOOMergedCells::Item(int AIndex) const
{
    return AIndex >= 0 && AIndex < Count() ? FList[static_cast<std::size_t>(AIndex)] : TOORange{};
}

} // namespace kalvor::sheets::calc
