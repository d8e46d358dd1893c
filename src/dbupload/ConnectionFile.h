#pragma once

#include <QByteArrayView>
#include <QString>

namespace kalvor::dbupload {

// The connection file's name in the workspace.
inline constexpr const char *kConnectionFileName = "db.udl";

enum class Provider { PostgreSQL, SQLite };

// What "db.udl" says: the provider and its settings.
struct ConnectionSettings {
    Provider provider = Provider::SQLite;
    // PostgreSQL: a libpq connection string ("host=... dbname=..." or a postgresql:// URI), used as it
    // stands so that .pgpass, service files and sslmode work. It may hold a password: never show it.
    QString conninfo;
    // SQLite: the database file, absolute (a relative path in the file counts from the workspace).
    QString sqliteFile;

    // What may be shown or logged: the provider and the settings without any password.
    QString description() const;
};

// Reads a data-link file: UTF-8 (with or without a byte-order mark) or UTF-16LE with a byte-order
// mark. Lines starting with "[" or ";" and blank lines are skipped; the first other line is the
// connection string, "key=value" pairs separated by ";" (a value in double quotes may hold ";", and
// "" inside it stands for one quote). Keys, without regard to case: "Provider" ("PostgreSQL" or
// "SQLite"), "Extended Properties" (the libpq connection string) and "Data Source" (the SQLite file).
// Throws KalvorError naming `displayName` when the text is no such file.
ConnectionSettings parseConnectionFile(QByteArrayView bytes, const QString &displayName, const QString &curDir);

// Reads `curDir` + "db.udl". A missing or unreadable file throws KalvorError naming it.
ConnectionSettings readConnectionFile(const QString &curDir);

// libpq's own reading of a connection string with the password left out, e.g. for messages.
QString describeConninfo(const QString &conninfo);

} // namespace kalvor::dbupload
