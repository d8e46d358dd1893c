#include "support/DatabaseWorkspace.h"

#include "KalvorBuildInfo.h"
#include "dbupload/PostgresDatabase.h"
#include "dbupload/Schema.h"
#include "dbupload/WorkspaceDatabase.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace kalvor::test {

std::string providerName(TestProvider provider)
{
    return provider == TestProvider::SQLite ? "SQLite" : "PostgreSQL";
}

QString DatabaseWorkspace::shareDir() { return QStringLiteral(KALVOR_SOURCE_SHARE_DIR); }

DatabaseWorkspace::DatabaseWorkspace(TestProvider provider, bool init) : m_provider(provider)
{
    QByteArray udl = "[oledb]\r\n; Everything after this line is an OLE DB initstring\r\n";
    if (provider == TestProvider::SQLite) {
        udl += "Provider=SQLite;Data Source=reports.sqlite\r\n";
    } else {
        m_schema = QStringLiteral("kv_test_%1_%2")
                       .arg(QCoreApplication::applicationPid())
                       .arg(QRandomGenerator::global()->generate());
        dbupload::PostgresDatabase server{QString()};
        server.runScript(QStringLiteral("CREATE SCHEMA ") + m_schema);
        udl += "Provider=PostgreSQL;Extended Properties=\"options='-c search_path=" + m_schema.toLatin1() + "'\"\r\n";
    }
    dir.write(QStringLiteral("db.udl"), udl);
    if (init) {
        const std::unique_ptr<dbupload::Database> db =
            dbupload::connectDatabase(dbupload::readConnectionFile(curDir()), true);
        dbupload::initSchema(*db, shareDir());
    }
}

DatabaseWorkspace::~DatabaseWorkspace()
{
    if (m_schema.isEmpty())
        return;
    try {
        dbupload::PostgresDatabase server{QString()};
        server.runScript(QStringLiteral("DROP SCHEMA ") + m_schema + QStringLiteral(" CASCADE"));
    } catch (const std::exception &e) {
        ADD_FAILURE() << "schema not dropped: " << e.what();
    }
}

std::unique_ptr<dbupload::Database> DatabaseWorkspace::open() const
{
    return dbupload::openWorkspaceDatabase(curDir(), shareDir());
}

QStringList DatabaseWorkspace::rows(const QString &sql) const
{
    const std::unique_ptr<dbupload::Database> db = dbupload::connectDatabase(dbupload::readConnectionFile(curDir()));
    return lines(db->query(sql));
}

QStringList lines(const dbupload::DbRows &rows)
{
    QStringList out;
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList cells;
        for (std::size_t c = 0; c < rows.columnCount(); ++c)
            cells.append(rows.cell(r, static_cast<int>(c)).value_or(QStringLiteral("~")));
        out.append(cells.join(u'|'));
    }
    return out;
}

} // namespace kalvor::test
