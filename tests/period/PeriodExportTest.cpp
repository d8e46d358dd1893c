#include "period/PeriodExport.h"

#include "app/IniFile.h"
#include "store/KalvorError.h"
#include "support/MaintenanceWorkspace.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

struct ExportWorkspace {
    ExportWorkspace() : ws({row(1), row(1, 1)})
    {
        ws.settings.SetKalvorFileName(
            ws.dir.write(QStringLiteral("reports/201203/710701234500120300d.xml"), "requisites v1"));
    }

    QString out(const QString &name) const { return ws.dir.file(QStringLiteral("out/201203/") + name); }

    MaintenanceWorkspace ws;
};

} // namespace

TEST(PeriodExport, CopiesBothFilesIntoThePeriodFolderAndReplacesThemNextTime)
{
    ExportWorkspace e;
    const QString chosen = e.ws.dir.file(QStringLiteral("out"));
    exportPeriodFiles(e.ws.settings, chosen);
    EXPECT_EQ(readAll(e.out(QStringLiteral("710701234500120300.xml"))), readAll(e.ws.declaration()));
    EXPECT_EQ(readAll(e.out(QStringLiteral("710701234500120300d.xml"))), QByteArray("requisites v1"));

    // Into the same folder again (chosen with a trailing separator): both files are replaced.
    e.ws.dir.write(QStringLiteral("reports/201203/710701234500120300.xml"), "declaration v2");
    e.ws.dir.write(QStringLiteral("reports/201203/710701234500120300d.xml"), "v2");
    exportPeriodFiles(e.ws.settings, chosen + u'/');
    EXPECT_EQ(readAll(e.out(QStringLiteral("710701234500120300.xml"))), QByteArray("declaration v2"));
    EXPECT_EQ(readAll(e.out(QStringLiteral("710701234500120300d.xml"))), QByteArray("v2"));
}

TEST(PeriodExport, FailuresNameTheFileOrFolder)
{
    ExportWorkspace e;
    const auto failure = [&e](const QString &chosen) {
        try {
            exportPeriodFiles(e.ws.settings, chosen);
        } catch (const KalvorError &error) {
            return error.message();
        }
        return QString();
    };

    // A file where the period folder should go.
    const QString blocked = e.ws.dir.file(QStringLiteral("blocked"));
    e.ws.dir.write(QStringLiteral("blocked/201203"), "x");
    EXPECT_TRUE(failure(blocked).contains(blocked + QStringLiteral("/201203")));

    QFile::remove(e.ws.settings.FKalvorFileName);
    const QString message = failure(e.ws.dir.file(QStringLiteral("out")));
    EXPECT_TRUE(message.contains(e.ws.settings.FKalvorFileName)) << message.toStdString();
    // The declaration had been copied before the missing requisites stopped the export.
    EXPECT_TRUE(QFileInfo::exists(e.out(QStringLiteral("710701234500120300.xml"))));
}

TEST(PeriodExport, ArchiverGetsTheArchiveNameAndTheWildcardOfTheExportedFolder)
{
    ExportWorkspace e;
    EXPECT_FALSE(archiverLaunch(e.ws.settings, QStringLiteral("/srv/out")).has_value());
    e.ws.settings.SetIniFile(IniFile::fromBytes("[arc]\r\ncmd=\r\n"));
    EXPECT_FALSE(archiverLaunch(e.ws.settings, QStringLiteral("/srv/out")).has_value());

    e.ws.settings.SetIniFile(IniFile::fromBytes("[Arc]\r\ncmd=/usr/bin/7z a\r\n"));
    for (const QString &chosen : {QStringLiteral("/srv/out"), QStringLiteral("/srv/out/")}) {
        const std::optional<ArchiverLaunch> launch = archiverLaunch(e.ws.settings, chosen);
        ASSERT_TRUE(launch.has_value());
        EXPECT_EQ(launch->program, QStringLiteral("/usr/bin/7z a"));
        EXPECT_EQ(launch->arguments,
                  (QStringList{QStringLiteral("201203.zip"), QStringLiteral("/srv/out/201203/*.*")}));
    }
}
