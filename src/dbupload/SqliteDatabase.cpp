#include "dbupload/SqliteDatabase.h"

#include "dbupload/DbRowBuffer.h"
#include "dbupload/SqliteFunctions.h"
#include "store/KalvorError.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <memory>

namespace kalvor::dbupload {
namespace {

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

} // namespace

SqliteDatabase::SqliteDatabase(const QString &fileName, bool create) : m_fileName(fileName)
{
    if (!create && !QFileInfo::exists(fileName))
        throw KalvorError(QStringLiteral("База данных SQLite %1 не найдена").arg(fileName));
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("нет памяти");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw KalvorError(QStringLiteral("Не удалось открыть базу данных SQLite %1: %2").arg(fileName, message));
    }
    // Another program (or a second window) holding the file briefly makes us wait, not fail.
    sqlite3_busy_timeout(m_db, 10000);
    sqlite3_extended_result_codes(m_db, 1);
    if (!registerKalvorFunctions(m_db))
        fail(QStringLiteral("SQLite"));
}

SqliteDatabase::~SqliteDatabase()
{
    clearProcedureCache();
    sqlite3_close(m_db);
}

void SqliteDatabase::clearProcedureCache()
{
    for (sqlite3_stmt *statement : std::as_const(m_procedures))
        sqlite3_finalize(statement);
    m_procedures.clear();
}

void SqliteDatabase::fail(const QString &label)
{
    throw KalvorError(QStringLiteral("%1: %2").arg(label, QString::fromUtf8(sqlite3_errmsg(m_db))));
}

sqlite3_stmt *SqliteDatabase::prepare(const QString &label, const QByteArray &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK)
        fail(label);
    if (!statement)
        throw KalvorError(QStringLiteral("%1: пустой запрос").arg(label));
    return statement;
}

sqlite3_stmt *SqliteDatabase::procedure(const QString &name)
{
    requireIdentifier(name);
    const QString key = name.toLower();
    if (sqlite3_stmt *cached = m_procedures.value(key))
        return cached;
    if (!hasTable(QStringLiteral("kalvor_procedures")))
        throw KalvorError(QStringLiteral("%1: в базе нет процедур, выполните kalvor-cli db init").arg(name));
    const DbRows found =
        query(QStringLiteral("SELECT statement FROM kalvor_procedures WHERE name = ?1 COLLATE NOCASE"), {name});
    if (found.isEmpty())
        throw KalvorError(QStringLiteral("%1: такой процедуры в базе нет").arg(name));
    sqlite3_stmt *statement = prepare(name, found.first().text(u"statement").toUtf8());
    m_procedures.insert(key, statement);
    return statement;
}

DbRows SqliteDatabase::run(const QString &label, sqlite3_stmt *statement, const DbParams &params, bool wantRows)
{
    // Reset and unbound on every way out, so a cached statement holds no lock and no old values.
    struct Reset {
        sqlite3_stmt *s;
        ~Reset()
        {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
        }
    } reset{statement};

    if (sqlite3_bind_parameter_count(statement) != params.size())
        throw KalvorError(QStringLiteral("%1: ожидается параметров: %2, передано: %3")
                              .arg(label)
                              .arg(sqlite3_bind_parameter_count(statement))
                              .arg(params.size()));
    for (int i = 0; i < params.size(); ++i) {
        int rc;
        if (const QString *s = std::get_if<QString>(&params[i])) {
            const QByteArray utf8 = s->toUtf8();
            rc = sqlite3_bind_text(statement, i + 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        } else {
            rc = sqlite3_bind_int64(statement, i + 1, std::get<qint64>(params[i]));
        }
        if (rc != SQLITE_OK)
            fail(label);
    }
    const int columns = sqlite3_column_count(statement);
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names.append(QString::fromUtf8(sqlite3_column_name(statement, c)));
    DbRows rows(label, names);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        if (!wantRows)
            continue;
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(statement, c) == SQLITE_NULL) {
                rows.appendCell(std::nullopt);
                continue;
            }
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, c));
            rows.appendCell(QString::fromUtf8(text, sqlite3_column_bytes(statement, c)));
        }
    }
    if (rc != SQLITE_DONE)
        fail(label);
    return rows;
}

DbRows SqliteDatabase::call(const QString &procedure, const DbParams &params)
{
    return run(procedure, this->procedure(procedure), params, true);
}

void SqliteDatabase::execute(const QString &procedure, const DbParams &params)
{
    run(procedure, this->procedure(procedure), params, false);
}

DbRows SqliteDatabase::query(const QString &sql, const DbParams &params)
{
    Statement statement(prepare(QStringLiteral("SQL"), sql.toUtf8()), &sqlite3_finalize);
    return run(QStringLiteral("SQL"), statement.get(), params, true);
}

void SqliteDatabase::begin()
{
    // Takes the write lock at once: an upload never finds the file locked halfway through.
    if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QStringLiteral("BEGIN"));
    m_inTransaction = true;
}

void SqliteDatabase::commit()
{
    m_inTransaction = false;
    if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw KalvorError(QStringLiteral("COMMIT: ") + message);
    }
}

void SqliteDatabase::rollback()
{
    m_inTransaction = false;
    sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void SqliteDatabase::runScript(const QString &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = QString::fromUtf8(error ? error : sqlite3_errmsg(m_db));
        sqlite3_free(error);
        throw KalvorError(message);
    }
}

bool SqliteDatabase::hasTable(const QString &table)
{
    return !query(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type IN ('table', 'view') AND name = ?1 "
                                 "COLLATE NOCASE"),
                  {table})
                .isEmpty();
}

bool SqliteDatabase::hasProcedure(const QString &procedure)
{
    return hasTable(QStringLiteral("kalvor_procedures"))
        && !query(QStringLiteral("SELECT 1 FROM kalvor_procedures WHERE name = ?1 COLLATE NOCASE"), {procedure}).isEmpty();
}

void SqliteDatabase::installProcedures(const QList<NamedStatement> &statements)
{
    clearProcedureCache();
    query(QStringLiteral("DELETE FROM kalvor_procedures"), {});
    for (const NamedStatement &s : statements) {
        sqlite3_finalize(prepare(s.name, s.statement.toUtf8()));
        query(QStringLiteral("INSERT INTO kalvor_procedures (name, statement) VALUES (?1, ?2)"), {s.name, s.statement});
    }
}

void SqliteDatabase::copyRows(const QString &table, const DbRowBuffer &rows)
{
    requireIdentifier(table);
    QByteArray sql = "INSERT INTO " + table.toLatin1() + " (";
    QByteArray values;
    for (int c = 0; c < rows.columnCount(); ++c) {
        requireIdentifier(rows.columns()[c].name);
        sql += (c > 0 ? "," : "") + rows.columns()[c].name.toLatin1();
        values += (c > 0 ? ",?" : "?");
    }
    sql += ") VALUES (" + values + ')';
    Statement statement(prepare(QStringLiteral("INSERT INTO ") + table, sql), &sqlite3_finalize);
    sqlite3_stmt *s = statement.get();
    const int columns = rows.columnCount();
    for (std::size_t r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            // The column's affinity turns the text of numbers into numbers, as PostgreSQL's input does.
            const std::optional<std::string_view> value = rows.value(r, c);
            const int rc = value ? sqlite3_bind_text(s, c + 1, value->data(), static_cast<int>(value->size()),
                                                     SQLITE_STATIC)
                                 : sqlite3_bind_null(s, c + 1);
            if (rc != SQLITE_OK)
                fail(QStringLiteral("INSERT INTO ") + table);
        }
        if (sqlite3_step(s) != SQLITE_DONE) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
            throw KalvorError(QStringLiteral("INSERT INTO %1: %2").arg(table, message));
        }
        sqlite3_reset(s);
    }
}

} // namespace kalvor::dbupload
