#pragma once

#include "dbupload/DbRowBuffer.h"

namespace kalvor::dbupload {

// The tables the reports go into, as share/db/*/schema-1.sql creates them.
inline constexpr const char *kDeclarationTable = "declaration";
inline constexpr const char *kKalvorTable = "kalvor";
inline constexpr const char *kObjectsTable = "alcohol_objects";

// The declaration table's columns in file order; the requisites' columns in the template's order; the
// seven columns of the filers' trading objects.
const QList<DbColumn> &declarationColumns();
const QList<DbColumn> &kalvorColumns();
const QList<DbColumn> &objectColumns();

} // namespace kalvor::dbupload
