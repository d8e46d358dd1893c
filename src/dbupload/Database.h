#pragma once

#include "dbupload/DbRows.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <variant>

namespace kalvor::dbupload {

class DbRowBuffer;

// One input parameter of a procedure: a string or an integer, passed in the listed order and always
// bound, never spliced into the statement's text.
using DbParam = std::variant<QString, qint64>;
using DbParams = QList<DbParam>;

// The reporting database: procedures called by name with positional typed parameters, rows read by
// column name, bulk rows into a table, transactions. Implemented over PostgreSQL (libpq) and SQLite.
// Every failure throws KalvorError with the database's own words; the caller adds its message.
// A connection belongs to the thread that opened it.
class Database {
public:
    virtual ~Database() = default;

    // "PostgreSQL" or "SQLite".
    virtual QString providerName() const = 0;

    // Calls a procedure and returns its rows (an empty result when it has none).
    virtual DbRows call(const QString &procedure, const DbParams &params = {}) = 0;
    // Runs a procedure that returns no rows.
    virtual void execute(const QString &procedure, const DbParams &params = {}) = 0;

    // Appends the buffer's rows to a table, its columns named by the buffer. PostgreSQL sends them
    // through COPY; run it inside a transaction so that a failure leaves nothing behind.
    virtual void copyRows(const QString &table, const DbRowBuffer &rows) = 0;

    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0; // never throws
    bool inTransaction() const { return m_inTransaction; }

    // Runs SQL text of the shipped schema scripts (several statements); for `db init` only.
    virtual void runScript(const QString &sql) = 0;
    // Whether a table exists (the schema version table before the first `db init`).
    virtual bool hasTable(const QString &table) = 0;
    // Whether the database holds a procedure of this name.
    virtual bool hasProcedure(const QString &procedure) = 0;
    // Runs one statement of the schema code with bound parameters; for `db init` only.
    virtual DbRows query(const QString &sql, const DbParams &params = {}) = 0;

protected:
    bool m_inTransaction = false;
};

// A procedure of the SQLite database: its name and its statement, parameters written ?1, ?2, ...
struct NamedStatement {
    QString name;
    QString statement;
};

// A transaction that rolls back unless committed: every upload is all or nothing.
class DbTransaction final {
public:
    explicit DbTransaction(Database &db) : m_db(db) { m_db.begin(); }
    ~DbTransaction()
    {
        if (!m_done)
            m_db.rollback();
    }
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    void commit()
    {
        m_db.commit();
        m_done = true;
    }

private:
    Database &m_db;
    bool m_done = false;
};

// Procedure names are identifiers: letters, digits and "_", not starting with a digit. Anything else
// throws before it could reach the statement text.
void requireIdentifier(const QString &name);

} // namespace kalvor::dbupload
