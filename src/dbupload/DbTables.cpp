#include "dbupload/DbTables.h"

namespace kalvor::dbupload {
namespace {

DbColumn column(const char *name, DbType type = DbType::Text) { return {QString::fromLatin1(name), type}; }

} // namespace

const QList<DbColumn> &declarationColumns()
{
    static const QList<DbColumn> columns = {
        column("dkey"),
        column("supply_name"),
        column("license"),
        column("license_date", DbType::Timestamp),
        column("ttn_numer"),
        column("ttn_date", DbType::Timestamp),
        column("loading_address"),
        column("production_name"),
        column("production_number"),
        column("production_code", DbType::Integer),
        column("producer_name"),
        column("region_code", DbType::Integer),
        column("department_code"),
        column("return_volume", DbType::Decimal),
        column("other_coming", DbType::Decimal),
        column("department_code_inner"),
        column("alcohol", DbType::Decimal),
        column("package_volume", DbType::Decimal),
        column("package_count", DbType::Integer),
        column("volume", DbType::Decimal),
        column("purches_price", DbType::Decimal),
        column("sum_coming", DbType::Decimal),
        column("rest_volume", DbType::Decimal),
        column("package_count_charges", DbType::Integer),
        column("volume_charges", DbType::Decimal),
        column("markup", DbType::Decimal),
        column("sum_charges", DbType::Decimal),
        column("return_volume_charges", DbType::Decimal),
        column("writeoff_volume_charges", DbType::Decimal),
        column("other_charges", DbType::Decimal),
        column("department_code_inner_charges"),
        column("rest", DbType::Decimal),
        column("version"),
    };
    return columns;
}

const QList<DbColumn> &kalvorColumns()
{
    static const QList<DbColumn> columns = {
        column("organization_name"),
        column("dkey"),
        column("low_address"),
        column("post_address"),
        column("department_count", DbType::Integer),
        column("license_serial"),
        column("license_number"),
        column("license_date", DbType::Timestamp),
        column("license_deadline", DbType::Timestamp),
        column("name_leader"),
        column("name_counter"),
    };
    return columns;
}

const QList<DbColumn> &objectColumns()
{
    static const QList<DbColumn> columns = {
        column("INN"),
        column("Kod_object"),
        column("Date_object", DbType::Date),
        column("Kod_raion"),
        column("Status", DbType::Integer),
        column("Date_priost", DbType::Date),
        column("Date_save", DbType::Date),
    };
    return columns;
}

} // namespace kalvor::dbupload
