#include "dbupload/WorkspaceDatabase.h"

#include "dbupload/PostgresDatabase.h"
#include "dbupload/Schema.h"
#include "dbupload/SqliteDatabase.h"

#include <QFile>
#include <QFileInfo>

namespace kalvor::dbupload {

std::unique_ptr<Database> connectDatabase(const ConnectionSettings &settings, bool create)
{
    if (settings.provider == Provider::PostgreSQL)
        return std::make_unique<PostgresDatabase>(settings.conninfo);
    return std::make_unique<SqliteDatabase>(settings.sqliteFile, create);
}

std::unique_ptr<Database> openWorkspaceDatabase(const QString &curDir, const QString &shareDir)
{
    const ConnectionSettings settings = readConnectionFile(curDir);
    const bool fresh = settings.provider == Provider::SQLite && !QFileInfo::exists(settings.sqliteFile);
    std::unique_ptr<Database> db = connectDatabase(settings, fresh);
    if (fresh) {
        try {
            initSchema(*db, shareDir);
        } catch (...) {
            // No empty file left behind to be taken for a database next time.
            db.reset();
            QFile::remove(settings.sqliteFile);
            throw;
        }
    }
    requireCurrentSchema(*db);
    return db;
}

} // namespace kalvor::dbupload
