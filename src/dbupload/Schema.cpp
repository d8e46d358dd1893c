#include "dbupload/Schema.h"

#include "dbupload/Database.h"
#include "dbupload/Procedures.h"
#include "dbupload/SqliteDatabase.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QFile>

namespace kalvor::dbupload {
namespace {

const QString kVersionTable = QStringLiteral("kalvor_schema");

QString readScript(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw KalvorError(QStringLiteral("Не найден сценарий базы данных %1").arg(fileName));
    return QString::fromUtf8(file.readAll());
}

// "-- procedure: NAME" starts each statement; the text before the first one is a comment.
QList<NamedStatement> namedStatements(const QString &script, const QString &fileName)
{
    QList<NamedStatement> result;
    const QString marker = QStringLiteral("-- procedure:");
    for (const QString &line : script.split(u'\n')) {
        if (line.startsWith(marker)) {
            result.append({line.mid(marker.size()).trimmed(), QString()});
            requireIdentifier(result.last().name);
        } else if (!result.isEmpty()) {
            result.last().statement += line + u'\n';
        }
    }
    for (NamedStatement &s : result) {
        s.statement = s.statement.trimmed();
        if (s.statement.endsWith(u';'))
            s.statement.chop(1);
        if (s.statement.isEmpty())
            throw KalvorError(QStringLiteral("%1: у процедуры %2 нет текста").arg(fileName, s.name));
    }
    return result;
}

} // namespace

QString schemaScriptsDir(const QString &shareDir, const Database &db)
{
    return QDir(shareDir).filePath(QStringLiteral("db/") + db.providerName().toLower());
}

int schemaVersion(Database &db)
{
    if (!db.hasTable(kVersionTable))
        return 0;
    const DbRows rows = db.query(QStringLiteral("SELECT max(version) AS version FROM kalvor_schema"));
    return rows.isEmpty() ? 0 : static_cast<int>(rows.first().integer(u"version"));
}

SchemaInit initSchema(Database &db, const QString &shareDir)
{
    const QString dir = schemaScriptsDir(shareDir, db);
    if (shareDir.isEmpty() || !QDir(dir).exists())
        throw KalvorError(QStringLiteral("Не найдена папка сценариев базы данных %1").arg(dir));

    SchemaInit result;
    DbTransaction transaction(db);
    if (!db.hasTable(kVersionTable))
        db.runScript(QStringLiteral("CREATE TABLE kalvor_schema (version integer NOT NULL);"
                                    "INSERT INTO kalvor_schema (version) VALUES (0);"));
    result.fromVersion = schemaVersion(db);
    if (result.fromVersion > kSchemaVersion)
        throw KalvorError(QStringLiteral("База данных создана более новой версией программы (схема %1, программа знает "
                                         "схему %2); обновите программу")
                              .arg(result.fromVersion)
                              .arg(kSchemaVersion));
    for (int version = result.fromVersion + 1; version <= kSchemaVersion; ++version) {
        const QString fileName = QDir(dir).filePath(QStringLiteral("schema-%1.sql").arg(version));
        try {
            db.runScript(readScript(fileName));
        } catch (const KalvorError &e) {
            throw KalvorError(QStringLiteral("%1: %2").arg(fileName, e.message()));
        }
    }
    const QString procedures = QDir(dir).filePath(QStringLiteral("procedures.sql"));
    try {
        const QString script = readScript(procedures);
        if (auto *sqlite = dynamic_cast<SqliteDatabase *>(&db))
            sqlite->installProcedures(namedStatements(script, procedures));
        else
            db.runScript(script);
    } catch (const KalvorError &e) {
        throw KalvorError(e.message().startsWith(procedures) ? e.message()
                                                              : QStringLiteral("%1: %2").arg(procedures, e.message()));
    }
    for (const ProcedureInfo &info : procedureCatalogue()) {
        if (!db.hasProcedure(info.name))
            throw KalvorError(QStringLiteral("%1: нет процедуры %2").arg(procedures, info.name));
        ++result.procedures;
    }
    db.query(QStringLiteral("UPDATE kalvor_schema SET version = %1").arg(kSchemaVersion));
    transaction.commit();
    result.toVersion = kSchemaVersion;
    return result;
}

void requireCurrentSchema(Database &db)
{
    const int version = schemaVersion(db);
    if (version == kSchemaVersion)
        return;
    if (version == 0)
        throw KalvorError(QStringLiteral("В базе данных нет таблиц программы: создайте их командой kalvor-cli db init"));
    if (version < kSchemaVersion)
        throw KalvorError(QStringLiteral("Таблицы базы данных устарели (схема %1, нужна %2): обновите их командой "
                                         "kalvor-cli db init")
                              .arg(version)
                              .arg(kSchemaVersion));
    throw KalvorError(QStringLiteral("База данных создана более новой версией программы (схема %1): обновите программу")
                          .arg(version));
}

} // namespace kalvor::dbupload
