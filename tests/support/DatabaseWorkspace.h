#pragma once

#include "dbupload/Database.h"
#include "support/TempDir.h"

#include <QString>

#include <memory>
#include <string>

namespace kalvor::test {

enum class TestProvider { SQLite, PostgreSQL };

// Each row's cells joined by "|", NULL as "~".
QStringList lines(const dbupload::DbRows &rows);
std::string providerName(TestProvider provider); // for test names

// A workspace whose db.udl points at a database of its own: SQLite a file in the workspace, PostgreSQL a
// schema of its own on the server the PG* variables name (pg_virtualenv sets them), dropped at the end.
// A missing server fails the test. With `init` the tables and procedures are made as `db init` does.
class DatabaseWorkspace final {
public:
    explicit DatabaseWorkspace(TestProvider provider, bool init = true);
    ~DatabaseWorkspace();
    DatabaseWorkspace(const DatabaseWorkspace &) = delete;
    DatabaseWorkspace &operator=(const DatabaseWorkspace &) = delete;

    TempDir dir;
    QString curDir() const { return dir.path() + u'/'; }
    static QString shareDir();
    // A new connection as the program makes it (db.udl, schema checked).
    std::unique_ptr<dbupload::Database> open() const;
    // A query's rows as lines().
    QStringList rows(const QString &sql) const;

private:
    TestProvider m_provider;
    QString m_schema; // PostgreSQL only
};

} // namespace kalvor::test
