#pragma once

#include "dbupload/Database.h"

struct pg_conn;

namespace kalvor::dbupload {

// The authority's server: libpq, procedures as functions, bulk rows through COPY.
class PostgresDatabase final : public Database {
public:
    // Connects with a libpq connection string; throws KalvorError with libpq's message (which never
    // holds the password).
    explicit PostgresDatabase(const QString &conninfo);
    ~PostgresDatabase() override;
    PostgresDatabase(const PostgresDatabase &) = delete;
    PostgresDatabase &operator=(const PostgresDatabase &) = delete;

    QString providerName() const override { return QStringLiteral("PostgreSQL"); }
    DbRows call(const QString &procedure, const DbParams &params) override;
    void execute(const QString &procedure, const DbParams &params) override;
    void copyRows(const QString &table, const DbRowBuffer &rows) override;
    void begin() override;
    void commit() override;
    void rollback() override;
    void runScript(const QString &sql) override;
    bool hasTable(const QString &table) override;
    bool hasProcedure(const QString &procedure) override;
    DbRows query(const QString &sql, const DbParams &params) override;

private:
    DbRows run(const QString &label, const QByteArray &statement, const DbParams &params, bool wantRows);
    void simple(const char *statement);

    pg_conn *m_conn = nullptr;
};

} // namespace kalvor::dbupload
