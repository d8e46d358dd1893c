#pragma once

#include <QString>

namespace kalvor::dbupload {

class Database;

// The version of the tables and procedures this program works with; share/db/<provider>/ holds
// schema-1.sql ... schema-N.sql (each upgrades the one before) and procedures.sql.
inline constexpr int kSchemaVersion = 1;

struct SchemaInit {
    int fromVersion = 0; // 0: there were no tables
    int toVersion = 0;
    int procedures = 0;  // procedures (re)created
};

// The folder of a provider's scripts: <share>/db/postgresql or <share>/db/sqlite.
QString schemaScriptsDir(const QString &shareDir, const Database &db);

// Creates the tables or brings them up to kSchemaVersion and (re)creates every procedure, in one
// transaction; safe to run again. A database made by a newer program is refused. Throws KalvorError.
SchemaInit initSchema(Database &db, const QString &shareDir);

// The schema version the database holds; 0 when it has no version table.
int schemaVersion(Database &db);

// Refuses to work on a database without our tables or with another version, telling the operator what
// to run.
void requireCurrentSchema(Database &db);

} // namespace kalvor::dbupload
