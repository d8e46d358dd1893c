#pragma once

#include "store/TableData.h"

#include <QList>
#include <QStringList>

#include <array>
#include <string_view>

namespace kalvor {

// One column of the declaration table as its FIELD element describes it.
struct DeclarationColumn {
    std::string_view name;
    std::string_view definition; // the FIELD attributes after attrname
};

// The declaration's columns in their order, as the template and every declaration file have them.
inline constexpr std::array<DeclarationColumn, 33> kDeclarationColumns = {{
    {"dkey", R"(fieldtype="string" SUBTYPE="FixedChar" WIDTH="32")"},
    {"supply_name", R"(fieldtype="string" WIDTH="50")"},
    {"license", R"(fieldtype="string" WIDTH="50")"},
    {"license_date", R"(fieldtype="dateTime")"},
    {"ttn_numer", R"(fieldtype="string" WIDTH="50")"},
    {"ttn_date", R"(fieldtype="dateTime")"},
    {"loading_address", R"(fieldtype="string" WIDTH="50")"},
    {"production_name", R"(fieldtype="string" WIDTH="70")"},
    {"production_number", R"(fieldtype="string" WIDTH="50")"},
    {"production_code", R"(fieldtype="i2")"},
    {"producer_name", R"(fieldtype="string" WIDTH="50")"},
    {"region_code", R"(fieldtype="i2")"},
    {"department_code", R"(fieldtype="string" WIDTH="30")"},
    {"return_volume", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"other_coming", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"department_code_inner", R"(fieldtype="string" WIDTH="30")"},
    {"alcohol", R"(fieldtype="fixed" DECIMALS="2" WIDTH="6")"},
    {"package_volume", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"package_count", R"(fieldtype="i4")"},
    {"volume", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"purches_price", R"(fieldtype="fixed" DECIMALS="2" WIDTH="19")"},
    {"sum_coming", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"rest_volume", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"package_count_charges", R"(fieldtype="i4")"},
    {"volume_charges", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"markup", R"(fieldtype="fixed" DECIMALS="2" WIDTH="19")"},
    {"sum_charges", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"return_volume_charges", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"writeoff_volume_charges", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"other_charges", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"department_code_inner_charges", R"(fieldtype="string" WIDTH="30")"},
    {"rest", R"(fieldtype="fixed" DECIMALS="3" WIDTH="19")"},
    {"version", R"(fieldtype="string" WIDTH="50")"},
}};

// The same columns as the engine reads them.
const QList<FieldDef> &declarationFields();

enum class ColumnCheck {
    NamesAndTypes, // every declaration column must be there with its kind of type
    TypesOnly      // the declaration columns the table has must have their kind of type
};

// What keeps a table from being a declaration: a line for each declaration column it lacks and for each
// one of another kind of type (a decimal held as text, say). Empty for a declaration; further columns
// are no fault, and neither are i2 for i4 or another width.
QStringList declarationColumnFaults(const TableData &data, ColumnCheck check = ColumnCheck::NamesAndTypes);

} // namespace kalvor
