#pragma once

#include "dbupload/Database.h"

#include <QHash>

struct sqlite3;
struct sqlite3_stmt;

namespace kalvor::dbupload {

// The embedded database: one file, no server. The procedures are named statements kept in the table
// kalvor_procedures (filled by `db init`), with their parameters as ?1, ?2, ...
class SqliteDatabase final : public Database {
public:
    // Opens the file; `create` allows a new one. Throws KalvorError naming the file.
    SqliteDatabase(const QString &fileName, bool create);
    ~SqliteDatabase() override;
    SqliteDatabase(const SqliteDatabase &) = delete;
    SqliteDatabase &operator=(const SqliteDatabase &) = delete;

    QString providerName() const override { return QStringLiteral("SQLite"); }
    DbRows call(const QString &procedure, const DbParams &params) override;
    void execute(const QString &procedure, const DbParams &params) override;
    void copyRows(const QString &table, const DbRowBuffer &rows) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void runScript(const QString &sql) override;
    bool hasTable(const QString &table) override;
    DbRows query(const QString &sql, const DbParams &params) override;

    bool hasProcedure(const QString &procedure) override;
    // Replaces every procedure by these (each compiled first, so a mistake shows at `db init`).
    void installProcedures(const QList<NamedStatement> &statements);

private:
    void clearProcedureCache();
    sqlite3_stmt *prepare(const QString &label, const QByteArray &sql);
    sqlite3_stmt *procedure(const QString &name);
    DbRows run(const QString &label, sqlite3_stmt *statement, const DbParams &params, bool wantRows);
    [[noreturn]] void fail(const QString &label);

    QString m_fileName;
    sqlite3 *m_db = nullptr;
    QHash<QString, sqlite3_stmt *> m_procedures; // by lower-case name
};

} // namespace kalvor::dbupload
