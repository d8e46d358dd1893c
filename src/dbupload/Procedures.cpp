#include "dbupload/Procedures.h"

namespace kalvor::dbupload {
namespace {

QStringList names(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *name : list)
        result.append(QString::fromLatin1(name));
    return result;
}

} // namespace

const QList<ProcedureInfo> &procedureCatalogue()
{
    using P = ParamType;
    namespace p = procedures;
    static const QStringList sums = names({"name", "sum_volume", "sum_sum_coming"});
    static const QList<ProcedureInfo> catalogue = {
        {p::REP_INN, {}, names({"INN"})},
        {p::DELETE_OLD_KALVOR, {P::String}, {}},
        {p::DELETE_OLD_DECLARATION, {P::String}, {}},
        {p::DELETE_ALCOHOL_OBJECTS, {}, {}},
        {p::REP_KALVOR,
         {P::String, P::Integer, P::Integer},
         names({"ttn_numer", "ttn_date", "production_code", "production_name", "producer_name", "production_number",
                "package_volume", "package_count", "all_count", "rest_count", "package_count_charges", "return_count",
                "writeoff_count", "other_count", "rest_count_all"})},
        {p::REP_KALVOR_SUM,
         {P::String, P::Integer, P::Integer},
         names({"name", "sum_package_count", "sum_all_count", "sum_rest_count", "sum_package_count_charges",
                "sum_return_count", "sum_writeoff_count", "sum_other_count", "sum_rest"})},
        {p::REP_GET_KALVOR_INFO, {P::String}, names({"organization_name", "low_address"})},
        {p::REP_IMPORT_PRODUCTION, {P::Integer, P::Integer}, sums},
        {p::REP_SUPPLIERS_BY_SUPPLIERS, {P::Integer, P::Integer}, names({"supply_name", "sum_volume", "sum_sum_coming"})},
        {p::REP_SUPPLIERS_BY_PRODUCTION_CODE, {P::Integer, P::Integer}, sums},
        {p::REP_REGIONS_BY_REGIONS, {P::Integer, P::Integer}, sums},
        {p::REP_REGIONS_BY_PRODUCTION_CODE, {P::Integer, P::Integer}, sums},
        {p::REP_REGIONS_BY_REGIONS_LITR, {P::Integer, P::Integer}, sums},
        {p::REP_REGIONS_BY_PRODUCTION_LITR_CODE, {P::Integer, P::Integer}, sums},
        {p::REP_PRODUCTIONS_BY_RAION, {P::Integer, P::Integer}, sums},
        {p::REP_PRODUCTIONS_BY_PROIZV, {P::Integer, P::Integer}, sums},
        {p::REP_VODKA52, {P::Integer, P::Integer}, sums},
        {p::REP_OBJECTS_BY_PERIOD,
         {P::Integer, P::Integer, P::String},
         names({"INN", "Kod_object", "Date_object", "Kod_raion", "Status", "Date_priost", "Date_save"})},
    };
    return catalogue;
}

const ProcedureInfo *findProcedure(QStringView name)
{
    for (const ProcedureInfo &info : procedureCatalogue())
        if (QStringView(info.name).compare(name, Qt::CaseInsensitive) == 0)
            return &info;
    return nullptr;
}

} // namespace kalvor::dbupload
