#pragma once

#include "store/RowView.h"

#include <QString>

#include <array>
#include <optional>

namespace kalvor::sheets {

// Columns of the declaration table the totals read, found once per table.
struct TotalsColumns {
    int return_volume = -1, volume = -1, sum_coming = -1, rest_volume = -1, volume_charges = -1, sum_charges = -1,
        return_volume_charges = -1, writeoff_volume_charges = -1, rest = -1;
    int alcohol = -1, other_charges = -1, markup = -1, package_volume = -1, purches_price = -1, other_coming = -1,
        production_code = -1, package_count = -1, package_count_charges = -1, department_code_inner = -1,
        department_code_inner_charges = -1;

    static TotalsColumns of(const RowView &anyRow);
};

// Nine quantities summed over a set of declaration rows (one invoice, the whole period).
class TRemains final {
public:
    void Reset() { *this = TRemains(); }
    // Adds the row's nine quantities; an empty value counts as 0.
    void Add(const RowView &row, const TotalsColumns &columns);
    void Add(const RowView &row) { Add(row, TotalsColumns::of(row)); }
    void Add(const TRemains &remains);

    double ReturnVolume() const { return FReturnVolume; }
    double Volume() const { return FVolume; }
    double SumComing() const { return FSumComing; }
    double RestVolume() const { return FRestVolume; }
    double VolumeCharges() const { return FVolumeCharges; }
    double SumCharges() const { return FSumCharges; }
    double ReturnVolumeCharges() const { return FReturnVolumeCharges; }
    double WriteoffVolumeCharges() const { return FWriteoffVolumeCharges; }
    double Rest() const { return FRest; }
    void SetReturnVolume(double v) { FReturnVolume = v; }
    void SetVolume(double v) { FVolume = v; }
    void SetSumComing(double v) { FSumComing = v; }
    void SetRestVolume(double v) { FRestVolume = v; }
    void SetVolumeCharges(double v) { FVolumeCharges = v; }
    void SetSumCharges(double v) { FSumCharges = v; }
    void SetReturnVolumeCharges(double v) { FReturnVolumeCharges = v; }
    void SetWriteoffVolumeCharges(double v) { FWriteoffVolumeCharges = v; }
    void SetRest(double v) { FRest = v; }

    bool operator==(const TRemains &) const = default;

private:
    double FSumCharges = 0;
    double FRest = 0;
    double FReturnVolumeCharges = 0;
    double FRestVolume = 0;
    double FVolumeCharges = 0;
    double FReturnVolume = 0;
    double FVolume = 0;
    double FSumComing = 0;
    double FWriteoffVolumeCharges = 0;
};

// The quantities of the rows of one kind of production. The descriptive fields (alcohol, markup, the
// package volume, the price, the code and the subdivisions) keep the values of the row that created it.
class TKindProductionTotal final {
public:
    TKindProductionTotal() = default; // all zero or empty
    static TKindProductionTotal Create(const RowView &row, const TotalsColumns &columns);
    void add(const RowView &row, const TotalsColumns &columns);

    double Falcohol = 0;
    double Fother_charges = 0;
    double Fsum_coming = 0;
    double Fmarkup = 0;
    double Freturn_volume = 0;
    double Fpackage_volume = 0;
    double Fsum_charges = 0;
    double Frest = 0;
    double Fpurches_price = 0;
    double Fvolume_charges = 0;
    double Frest_volume = 0;
    double Freturn_volume_charges = 0;
    double Fwriteoff_volume_charges = 0;
    double Fvolume = 0;
    double Fother_coming = 0;
    qint32 Fproduction_code = 0;
    qint32 Fpackage_count = 0;
    qint32 Fpackage_count_charges = 0;
    QString Fdepartment_code_inner;
    QString Fdepartment_code_inner_charges;
};

// Per-kind totals by kind code 1 to 12; an empty slot has not met its kind yet.
class TTotal final {
public:
    static constexpr int kFirstKind = 1;
    static constexpr int kLastKind = 12;

    // Counts a position or transfer row into the slot of its kind: the first row of a kind makes the
    // slot's total, later ones add to it. A code outside 1 to 12 enters no slot.
    void count(const RowView &row, const TotalsColumns &columns);
    const std::optional<TKindProductionTotal> &slot(int kind) const;
    void clear();

private:
    std::array<std::optional<TKindProductionTotal>, kLastKind> m_slots;
};

} // namespace kalvor::sheets
