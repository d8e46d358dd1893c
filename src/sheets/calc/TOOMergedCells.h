#pragma once

#include <cstdint>
#include <vector>

namespace kalvor::sheets::calc {

// A rectangle of cells, one-based: first column and row, then how many columns and rows it spans.
struct TOORange {
    std::int32_t ColFrom = 0;
    std::int32_t RowFrom = 0;
    std::int32_t ColCount = 0;
    std::int32_t RowCount = 0;
    bool operator==(const TOORange &) const = default;
};

// The merged areas of a sheet that the wrapper collected (LoadMergedCells), each kept as its own copy.
class TOOMergedCells final {
public:
    void Add(const TOORange &ARange) { FList.push_back(ARange); }
    void Add(std::int32_t AColFrom, std::int32_t ARowFrom, std::int32_t AColCount, std::int32_t ARowCount)
    {
        FList.push_back({AColFrom, ARowFrom, AColCount, ARowCount});
    }
    void Clear() { FList.clear(); }
    int Count() const { return static_cast<int>(FList.size()); }
    // Out-of-range indices are ignored.
    void Delete(int AIndex);
    // A copy of the range; an empty range for an index out of range.
    TOORange Item(int AIndex) const;

private:
    std::vector<TOORange> FList;
};

} // namespace kalvor::sheets::calc
