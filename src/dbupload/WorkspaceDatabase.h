#pragma once

#include "dbupload/ConnectionFile.h"

#include <QString>

#include <memory>

namespace kalvor::dbupload {

class Database;

// Connects as the settings say. `create` lets SQLite make a new file.
std::unique_ptr<Database> connectDatabase(const ConnectionSettings &settings, bool create = false);

// The workspace's database ready for work: "db.udl" read, connected, the tables checked against the
// program's schema version. The embedded SQLite database is created with its tables on first use
// (from the scripts in `shareDir`); a PostgreSQL database must be set up with `kalvor-cli db init`.
std::unique_ptr<Database> openWorkspaceDatabase(const QString &curDir, const QString &shareDir);

} // namespace kalvor::dbupload
