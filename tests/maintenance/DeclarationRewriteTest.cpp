#include "support/MaintenanceWorkspace.h"

#include "maintenance/Backup.h"
#include "maintenance/DeclarationRewrite.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::maintenance;
using namespace kalvor::test;

namespace {

QStringList keys(const MaintenanceWorkspace &ws)
{
    QStringList out;
    for (const QString &entry : ws.column("dkey"))
        out.append(entry.section(u'=', 0, 0));
    return out;
}

} // namespace

TEST(Compact, DropsTheChangeLogKeepsTheRowsAndTellsTheBytesSaved)
{
    MaintenanceWorkspace ws({row(1, 0, 0, "supply_name=\"ООО &quot;Ромашка&quot;\""),
                             row(1, 1, 0, "production_name=\"Водка\" volume=\"10.500\""), row(2)});
    {
        Table table(ws.declaration());
        table.open();
        for (int i = 0; i < 3; ++i) {
            table.first();
            table.edit();
            table.setString(u"loading_address", QStringLiteral("г. Тула, д. %1").arg(i));
            table.saveToFile();
        }
    }
    const std::string edited = dumpOfFile(ws.declaration());
    const QByteArray before = readAll(ws.declaration());
    ASSERT_TRUE(before.contains("CHANGE_LOG"));

    const MaintenanceResult r = compactDeclaration(ws.settings);
    const qint64 saved = before.size() - QFileInfo(ws.declaration()).size();
    EXPECT_GT(saved, 0);
    EXPECT_EQ(r.message, QStringLiteral("Размер файла уменьшен на %1 байт.").arg(saved));
    EXPECT_EQ(dumpOfFile(ws.declaration()), edited);
    EXPECT_FALSE(readAll(ws.declaration()).contains("CHANGE_LOG"));
    // The previous file is kept outside the period folder.
    EXPECT_EQ(readAll(r.backupFile), before);
    EXPECT_EQ(QFileInfo(r.backupFile).absolutePath(), QDir(ws.dir.file(QStringLiteral("backup"))).absolutePath());

    EXPECT_EQ(compactDeclaration(ws.settings).message, QStringLiteral("Размер файла уменьшен на 0 байт."));
}

TEST(Compact, ValuesTakeTheTemplatesTypesOrNothingIsReplaced)
{
    // An older declaration: package counts as floats, kind codes as text.
    MaintenanceWorkspace ws(
        {row(1), row(1, 1, 0, "package_count=\"3\" production_code=\" 12\""), row(1, 2, 0, "package_count=\"2.0\"")});
    retypeColumn(ws.declaration(), "package_count", "fieldtype=\"r8\"");
    retypeColumn(ws.declaration(), "production_code", "fieldtype=\"string\" WIDTH=\"10\"");
    compactDeclaration(ws.settings);
    EXPECT_EQ(ws.column("package_count"),
              QStringList({QStringLiteral("00000100000000="), QStringLiteral("00000100000100=3"),
                           QStringLiteral("00000100000200=2")}));
    EXPECT_EQ(ws.column("production_code").at(1), QStringLiteral("00000100000100=12"));

    // Half a package fits no integer column: the command stops before anything is replaced.
    MaintenanceWorkspace half({row(1), row(1, 1, 0, "package_count=\"3.5\"")});
    retypeColumn(half.declaration(), "package_count", "fieldtype=\"r8\"");
    const QByteArray before = readAll(half.declaration());
    for (const auto &command : {compactDeclaration, clearUnlinkedRows, repairKeys}) {
        try {
            command(half.settings);
            ADD_FAILURE() << "rewrote half a package";
        } catch (const KalvorError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("71070123450012030000000100000100")));
            EXPECT_TRUE(e.message().contains(QStringLiteral("package_count")));
        }
    }
    EXPECT_EQ(readAll(half.declaration()), before);
    EXPECT_TRUE(backupsOf(half.settings.FcurDir, half.declaration()).isEmpty());
}

TEST(Compact, MissingDeclarationOrTemplateStopsBeforeAnythingIsWritten)
{
    MaintenanceWorkspace ws({row(1)});
    const QByteArray before = readAll(ws.declaration());
    QFile::remove(ws.dir.file(QStringLiteral("templates/xml/declaration.xml")));
    EXPECT_THROW(compactDeclaration(ws.settings), KalvorError);
    EXPECT_EQ(readAll(ws.declaration()), before);

    QFile::remove(ws.declaration());
    EXPECT_THROW(compactDeclaration(ws.settings), KalvorError);
    EXPECT_THROW(clearUnlinkedRows(ws.settings), KalvorError);
    EXPECT_THROW(repairKeys(ws.settings), KalvorError);
    EXPECT_FALSE(QFileInfo::exists(ws.declaration()));
    EXPECT_TRUE(backupsOf(ws.settings.FcurDir, ws.declaration()).isEmpty());
}

TEST(ClearUnlinked, RemovesPositionsAndTransfersWithoutTheirInvoice)
{
    MaintenanceWorkspace ws({row(1), row(1, 1), row(1, 1, 1), row(2, 1), row(2, 1, 1), row(2, 2), row(3), row(3, 4),
                             // a position number from 100000 on still belongs to its invoice
                             row(1, 123456), row(1, 123456, 2)});
    const MaintenanceResult r = clearUnlinkedRows(ws.settings);
    EXPECT_EQ(r.message, QStringLiteral("Удалено несвязанных элементов (продукция и внутр. перемещения): 3 "));
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(keys(ws), (QStringList{QStringLiteral("00000100000000"), QStringLiteral("00000100000100"),
                                     QStringLiteral("00000100000101"), QStringLiteral("00000112345600"),
                                     QStringLiteral("00000112345602"), QStringLiteral("00000300000000"),
                                     QStringLiteral("00000300000400")}));
}

TEST(ClearUnlinked, WithoutInvoicesEveryRowGoesAndManyInvoicesAreNoLimit)
{
    MaintenanceWorkspace orphans({row(1, 1), row(1, 1, 1), row(4, 2)});
    EXPECT_EQ(clearUnlinkedRows(orphans.settings).count, 3);
    EXPECT_TRUE(keys(orphans).isEmpty());

    QList<QByteArray> rows;
    for (int i = 1; i <= 12000; ++i)
        rows << row(i) << row(i, 1);
    MaintenanceWorkspace big(rows);
    EXPECT_EQ(clearUnlinkedRows(big.settings).count, 0);
    EXPECT_EQ(keys(big).size(), 24000);
}

TEST(RepairKeys, ShiftsPositionAndTransferDigitsOnePlaceLeft)
{
    EXPECT_EQ(repairedKey("71070123450012030000000200000100"), "71070123450012030000000200001000");
    EXPECT_EQ(repairedKey("71070123450012030000000200000101"), "71070123450012030000000200001010");
    EXPECT_EQ(repairedKey("71070123450012030000000200000000"), "71070123450012030000000200000000");
    EXPECT_EQ(repairedKey("7107012345"), "7107012345");

    MaintenanceWorkspace ws({row(2, 0, 0, "supply_name=\"А\""), row(2, 1, 0, "production_name=\"Б\""),
                             row(2, 1, 1, "other_coming=\"1.000\"")});
    const MaintenanceResult r = repairKeys(ws.settings);
    EXPECT_EQ(r.message, QStringLiteral("Dkey изменен!"));
    EXPECT_EQ(ws.column("production_name"), (QStringList{QStringLiteral("00000200000000="),
                                                          QStringLiteral("00000200001000=Б"),
                                                          QStringLiteral("00000200001010=")}));
    EXPECT_EQ(ws.column("other_coming").last(), QStringLiteral("00000200001010=1.000"));
}
