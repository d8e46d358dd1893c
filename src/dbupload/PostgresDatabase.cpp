#include "dbupload/PostgresDatabase.h"

#include "dbupload/DbRowBuffer.h"
#include "store/EscapedText.h"
#include "store/KalvorError.h"

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace kalvor::dbupload {
namespace {

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

QString trimmed(const char *message) { return QString::fromUtf8(message).trimmed(); }

// Parameter types as the server should take them: text (25) or a 4- or 8-byte integer (23, 20).
constexpr Oid kTextOid = 25;
constexpr Oid kInt4Oid = 23;
constexpr Oid kInt8Oid = 20;

} // namespace

PostgresDatabase::PostgresDatabase(const QString &conninfo)
{
    // The file's connection string first; what follows it wins, so the text always travels as UTF-8.
    const QByteArray dbname = conninfo.toUtf8();
    const char *keywords[] = {"application_name", "dbname", "client_encoding", nullptr};
    const char *values[] = {"kalvor", dbname.constData(), "UTF8", nullptr};
    m_conn = PQconnectdbParams(keywords, values, 1);
    if (!m_conn)
        throw KalvorError(QStringLiteral("Не удалось подключиться к базе данных PostgreSQL: нет памяти"));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString message = trimmed(PQerrorMessage(m_conn));
        PQfinish(m_conn);
        m_conn = nullptr;
        throw KalvorError(QStringLiteral("Не удалось подключиться к базе данных PostgreSQL: ") + message);
    }
    // Notices (e.g. "table already exists, skipping") are not for the user.
    PQsetNoticeProcessor(m_conn, [](void *, const char *) {}, nullptr);
}

PostgresDatabase::~PostgresDatabase()
{
    if (m_conn)
        PQfinish(m_conn);
}

DbRows PostgresDatabase::run(const QString &label, const QByteArray &statement, const DbParams &params, bool wantRows)
{
    std::vector<QByteArray> texts;
    std::vector<const char *> values;
    std::vector<Oid> types;
    texts.reserve(static_cast<std::size_t>(params.size()));
    for (const DbParam &param : params) {
        if (const QString *s = std::get_if<QString>(&param)) {
            texts.push_back(s->toUtf8());
            types.push_back(kTextOid);
        } else {
            const qint64 n = std::get<qint64>(param);
            texts.push_back(QByteArray::number(n));
            types.push_back(n >= INT32_MIN && n <= INT32_MAX ? kInt4Oid : kInt8Oid);
        }
    }
    for (const QByteArray &text : texts)
        values.push_back(text.constData());

    Result result(PQexecParams(m_conn, statement.constData(), static_cast<int>(values.size()), types.data(),
                               values.data(), nullptr, nullptr, 0),
                  &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const QString message = result ? trimmed(PQresultErrorMessage(result.get())) : trimmed(PQerrorMessage(m_conn));
        throw KalvorError(QStringLiteral("%1: %2").arg(label, message));
    }
    if (!wantRows)
        return {};
    const int columns = PQnfields(result.get());
    QStringList names;
    for (int c = 0; c < columns; ++c)
        names.append(QString::fromUtf8(PQfname(result.get(), c)));
    DbRows rows(label, names);
    const int count = PQntuples(result.get());
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < columns; ++c)
            rows.appendCell(PQgetisnull(result.get(), r, c)
                                ? std::nullopt
                                : std::optional<QString>(QString::fromUtf8(PQgetvalue(result.get(), r, c),
                                                                            PQgetlength(result.get(), r, c))));
    return rows;
}

namespace {

QByteArray callText(const QString &procedure, qsizetype params, bool rows)
{
    requireIdentifier(procedure);
    QByteArray text = rows ? "SELECT * FROM " : "SELECT ";
    // Unquoted, as the shipped scripts create them: the server folds the name to lower case.
    text += procedure.toLatin1() + '(';
    for (qsizetype i = 1; i <= params; ++i)
        text += (i > 1 ? ",$" : "$") + QByteArray::number(i);
    return text + ')';
}

} // namespace

DbRows PostgresDatabase::call(const QString &procedure, const DbParams &params)
{
    return run(procedure, callText(procedure, params.size(), true), params, true);
}

void PostgresDatabase::execute(const QString &procedure, const DbParams &params)
{
    run(procedure, callText(procedure, params.size(), false), params, false);
}

DbRows PostgresDatabase::query(const QString &sql, const DbParams &params)
{
    return run(QStringLiteral("SQL"), sql.toUtf8(), params, true);
}

void PostgresDatabase::simple(const char *statement)
{
    Result result(PQexec(m_conn, statement), &PQclear);
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw KalvorError(QStringLiteral("%1: %2").arg(QString::fromLatin1(statement),
                                                       result ? trimmed(PQresultErrorMessage(result.get()))
                                                              : trimmed(PQerrorMessage(m_conn))));
}

void PostgresDatabase::begin()
{
    simple("BEGIN");
    m_inTransaction = true;
}

void PostgresDatabase::commit()
{
    m_inTransaction = false;
    simple("COMMIT");
}

void PostgresDatabase::rollback()
{
    m_inTransaction = false;
    Result result(PQexec(m_conn, "ROLLBACK"), &PQclear);
}

void PostgresDatabase::runScript(const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    Result result(PQexec(m_conn, text.constData()), &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw KalvorError(result ? trimmed(PQresultErrorMessage(result.get())) : trimmed(PQerrorMessage(m_conn)));
}

bool PostgresDatabase::hasTable(const QString &table)
{
    const DbRows rows = query(QStringLiteral("SELECT to_regclass($1) IS NOT NULL"), {table});
    return rows.rowCount() == 1 && rows.first().text(rows.columns().first()) == u"t";
}

bool PostgresDatabase::hasProcedure(const QString &procedure)
{
    // Looked for where calls find it: in the schemas of the search path.
    return !query(QStringLiteral("SELECT 1 FROM pg_proc p JOIN pg_namespace n ON n.oid = p.pronamespace "
                                 "WHERE p.proname = lower($1) AND n.nspname = ANY (current_schemas(false))"),
                  {procedure})
                .isEmpty();
}

void PostgresDatabase::copyRows(const QString &table, const DbRowBuffer &rows)
{
    requireIdentifier(table);
    QByteArray statement = "COPY " + table.toLatin1() + " (";
    for (int c = 0; c < rows.columnCount(); ++c) {
        requireIdentifier(rows.columns()[c].name);
        statement += (c > 0 ? "," : "") + rows.columns()[c].name.toLatin1();
    }
    statement += ") FROM STDIN";
    {
        Result start(PQexec(m_conn, statement.constData()), &PQclear);
        if (!start || PQresultStatus(start.get()) != PGRES_COPY_IN)
            throw KalvorError(QStringLiteral("COPY %1: %2").arg(table, start ? trimmed(PQresultErrorMessage(start.get()))
                                                                              : trimmed(PQerrorMessage(m_conn))));
    }
    const auto send = [this, &table](const std::string &block) {
        if (PQputCopyData(m_conn, block.data(), static_cast<int>(block.size())) != 1)
            throw KalvorError(QStringLiteral("COPY %1: %2").arg(table, trimmed(PQerrorMessage(m_conn))));
    };
    std::string block;
    constexpr std::size_t kBlock = 1 << 18;
    block.reserve(kBlock + 4096);
    const int columns = rows.columnCount();
    for (std::size_t r = 0; r < rows.rowCount(); ++r) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                block.push_back('\t');
            const std::optional<std::string_view> value = rows.value(r, c);
            if (value)
                appendEscaped(block, *value); // COPY's text form escapes as the dump does
            else
                block.append("\\N");
        }
        block.push_back('\n');
        if (block.size() >= kBlock) {
            send(block);
            block.clear();
        }
    }
    if (!block.empty())
        send(block);
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        throw KalvorError(QStringLiteral("COPY %1: %2").arg(table, trimmed(PQerrorMessage(m_conn))));
    // The outcome of COPY, then the end of the command.
    QString error;
    while (PGresult *raw = PQgetResult(m_conn)) {
        Result result(raw, &PQclear);
        if (PQresultStatus(raw) != PGRES_COMMAND_OK && error.isEmpty())
            error = trimmed(PQresultErrorMessage(raw));
    }
    if (!error.isEmpty())
        throw KalvorError(QStringLiteral("COPY %1: %2").arg(table, error));
}

} // namespace kalvor::dbupload
