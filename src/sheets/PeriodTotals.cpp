#include "sheets/PeriodTotals.h"

namespace kalvor::sheets {

namespace {

double number(const RowView &row, int field)
{
    return field >= 0 ? row.asFloat(field) : 0.0;
}

qint32 whole(const RowView &row, int field)
{
    return field >= 0 ? static_cast<qint32>(row.asInteger(field)) : 0;
}

QString text(const RowView &row, int field)
{
    return field >= 0 ? row.asString(field) : QString();
}

} // namespace

TotalsColumns TotalsColumns::of(const RowView &row)
{
    TotalsColumns c;
    c.return_volume = row.fieldIndex(u"return_volume");
    c.volume = row.fieldIndex(u"volume");
    c.sum_coming = row.fieldIndex(u"sum_coming");
    c.rest_volume = row.fieldIndex(u"rest_volume");
    c.volume_charges = row.fieldIndex(u"volume_charges");
    c.sum_charges = row.fieldIndex(u"sum_charges");
    c.return_volume_charges = row.fieldIndex(u"return_volume_charges");
    c.writeoff_volume_charges = row.fieldIndex(u"writeoff_volume_charges");
    c.rest = row.fieldIndex(u"rest");
    c.alcohol = row.fieldIndex(u"alcohol");
    c.other_charges = row.fieldIndex(u"other_charges");
    c.markup = row.fieldIndex(u"markup");
    c.package_volume = row.fieldIndex(u"package_volume");
    c.purches_price = row.fieldIndex(u"purches_price");
    c.other_coming = row.fieldIndex(u"other_coming");
    c.production_code = row.fieldIndex(u"production_code");
    c.package_count = row.fieldIndex(u"package_count");
    c.package_count_charges = row.fieldIndex(u"package_count_charges");
    c.department_code_inner = row.fieldIndex(u"department_code_inner");
    c.department_code_inner_charges = row.fieldIndex(u"department_code_inner_charges");
    return c;
}

void TRemains::Add(const RowView &row, const TotalsColumns &c)
{
    FReturnVolume += number(row, c.return_volume);
    FVolume += number(row, c.volume);
    FSumComing += number(row, c.sum_coming);
    FRestVolume += number(row, c.rest_volume);
    FVolumeCharges += number(row, c.volume_charges);
    FSumCharges += number(row, c.sum_charges);
    FReturnVolumeCharges += number(row, c.return_volume_charges);
    FWriteoffVolumeCharges += number(row, c.writeoff_volume_charges);
    FRest += number(row, c.rest);
}

void TRemains::Add(const TRemains &r)
{
    FReturnVolume += r.FReturnVolume;
    FVolume += r.FVolume;
    FSumComing += r.FSumComing;
    FRestVolume += r.FRestVolume;
    FVolumeCharges += r.FVolumeCharges;
    FSumCharges += r.FSumCharges;
    FReturnVolumeCharges += r.FReturnVolumeCharges;
    FWriteoffVolumeCharges += r.FWriteoffVolumeCharges;
    FRest += r.FRest;
}

TKindProductionTotal TKindProductionTotal::Create(const RowView &row, const TotalsColumns &c)
{
    TKindProductionTotal t;
    t.Falcohol = number(row, c.alcohol);
    t.Fother_charges = number(row, c.other_charges);
    t.Fsum_coming = number(row, c.sum_coming);
    t.Fmarkup = number(row, c.markup);
    t.Freturn_volume = number(row, c.return_volume);
    t.Fpackage_volume = number(row, c.package_volume);
    t.Fsum_charges = number(row, c.sum_charges);
    t.Frest = number(row, c.rest);
    t.Fpurches_price = number(row, c.purches_price);
    t.Fvolume_charges = number(row, c.volume_charges);
    t.Frest_volume = number(row, c.rest_volume);
    t.Freturn_volume_charges = number(row, c.return_volume_charges);
    t.Fwriteoff_volume_charges = number(row, c.writeoff_volume_charges);
    t.Fvolume = number(row, c.volume);
    t.Fother_coming = number(row, c.other_coming);
    t.Fproduction_code = whole(row, c.production_code);
    t.Fpackage_count = whole(row, c.package_count);
    t.Fpackage_count_charges = whole(row, c.package_count_charges);
    t.Fdepartment_code_inner = text(row, c.department_code_inner);
    t.Fdepartment_code_inner_charges = text(row, c.department_code_inner_charges);
    return t;
}

void TKindProductionTotal::add(const RowView &row, const TotalsColumns &c)
{
    Fother_charges += number(row, c.other_charges);
    Fsum_coming += number(row, c.sum_coming);
    Freturn_volume += number(row, c.return_volume);
    Fsum_charges += number(row, c.sum_charges);
    Frest += number(row, c.rest);
    Fvolume_charges += number(row, c.volume_charges);
    Frest_volume += number(row, c.rest_volume);
    Freturn_volume_charges += number(row, c.return_volume_charges);
    Fwriteoff_volume_charges += number(row, c.writeoff_volume_charges);
    Fvolume += number(row, c.volume);
    Fother_coming += number(row, c.other_coming);
    Fpackage_count += whole(row, c.package_count);
    Fpackage_count_charges += whole(row, c.package_count_charges);
}

void TTotal::count(const RowView &row, const TotalsColumns &columns)
{
    const qint64 kind = columns.production_code >= 0 ? row.asInteger(columns.production_code) : 0;
    if (kind < kFirstKind || kind > kLastKind)
        return;
    std::optional<TKindProductionTotal> &slot = m_slots[static_cast<std::size_t>(kind - kFirstKind)];
    if (slot)
        slot->add(row, columns);
    else
        slot = TKindProductionTotal::Create(row, columns);
}

const std::optional<TKindProductionTotal> &TTotal::slot(int kind) const
{
    static const std::optional<TKindProductionTotal> none;
    if (kind < kFirstKind || kind > kLastKind)
        return none;
    return m_slots[static_cast<std::size_t>(kind - kFirstKind)];
}

void TTotal::clear()
{
    for (auto &slot : m_slots)
        slot.reset();
}

} // namespace kalvor::sheets
