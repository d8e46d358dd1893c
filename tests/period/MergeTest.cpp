#include "period/Merge.h"

#include "maintenance/Backup.h"
#include "store/KalvorError.h"
#include "support/DeclarationRows.h"
#include "support/MaintenanceWorkspace.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

// A row keyed under another filer's stem (INN 500100732200, February 2012).
QByteArray foreignRow(int invoice, int position = 0, int transfer = 0, const QByteArray &more = {})
{
    QByteArray key = declarationKey(invoice, position, transfer);
    key.replace(0, 18, "500100732200120200");
    return "dkey=\"" + key + "\"" + (more.isEmpty() ? QByteArray() : ' ' + more);
}

struct MergeWorkspace {
    explicit MergeWorkspace(const QList<QByteArray> &rows) : ws(rows)
    {
        ws.settings.Fkalvor.FINN = QStringLiteral("7107012345");
    }

    QString source(const QList<QByteArray> &rows) const
    {
        return writeDeclaration(ws.dir.path(), QStringLiteral("source%1.xml").arg(++sources), rows);
    }

    MaintenanceWorkspace ws;
    mutable int sources = 0;
};

// A refused merge names `part` and leaves the declaration byte for byte as `before`, without a backup.
void expectRefusal(const MergeWorkspace &m, MergeResult (*merge)(const TAppSettings &, const QString &),
                   const QString &file, const QString &part, const QByteArray &before)
{
    try {
        merge(m.ws.settings, file);
        ADD_FAILURE() << "merged " << file.toStdString();
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(part)) << e.message().toStdString();
    }
    EXPECT_EQ(readAll(m.ws.declaration()), before);
    EXPECT_TRUE(maintenance::backupsOf(m.ws.settings.FcurDir, m.ws.declaration()).isEmpty());
}

} // namespace

TEST(MergeAdd, RenumbersInvoicesAfterTheLastOneAndTakesThePeriodsPrefix)
{
    // The last invoice in key order is 5, although it is not stored last.
    MergeWorkspace m({row(5, 0, 0, "version=\"1.0\""), row(1), row(1, 1), row(4)});
    const QString source = m.source({foreignRow(1, 0, 0, "ttn_numer=\"Н-1\" ttn_date=\"20120203\" version=\"9.9\""),
                                     foreignRow(1, 1, 0, "production_name=\"Водка\" volume=\"10.500\" rest=\"-1.000\""),
                                     foreignRow(1, 1, 1, "department_code_inner=\"2\" volume_charges=\"1.000\""),
                                     foreignRow(2), foreignRow(3), foreignRow(3, 2)});

    const MergeResult r = addDeclaration(m.ws.settings, source);
    EXPECT_EQ(r.rowsAdded, 6);
    EXPECT_EQ(r.message, QStringLiteral("Отчет добавлен: строк 6"));
    EXPECT_EQ(m.ws.column("ttn_numer"),
              (QStringList{QStringLiteral("00000100000000="), QStringLiteral("00000100000100="),
                           QStringLiteral("00000400000000="), QStringLiteral("00000500000000="),
                           QStringLiteral("00000600000000=Н-1"), QStringLiteral("00000600000100="),
                           QStringLiteral("00000600000101="), QStringLiteral("00000700000000="),
                           QStringLiteral("00000800000000="), QStringLiteral("00000800000200=")}));
    // Every key now starts with the open period's INNYYMMCC.
    for (const QString &entry : m.ws.column("dkey"))
        EXPECT_TRUE(entry.endsWith(QStringLiteral("=710701234500120300") + entry.left(14))) << entry.toStdString();

    // The listed columns are taken over; the version is not.
    EXPECT_EQ(m.ws.column("version").mid(3, 2),
              (QStringList{QStringLiteral("00000500000000=1.0"), QStringLiteral("00000600000000=")}));
    EXPECT_EQ(m.ws.column("ttn_date").at(4), QStringLiteral("00000600000000=20120203"));
    EXPECT_EQ(m.ws.column("volume").at(5), QStringLiteral("00000600000100=10.500"));
    EXPECT_EQ(m.ws.column("rest").at(5), QStringLiteral("00000600000100=-1.000"));
    EXPECT_EQ(m.ws.column("department_code_inner").at(6), QStringLiteral("00000600000101=2"));

    EXPECT_TRUE(QFileInfo::exists(r.backupFile));
    EXPECT_EQ(dumpOfFile(r.backupFile).find("500100732200"), std::string::npos);
}

TEST(MergeAdd, WithoutInvoicesKeepsTheNumbersAndAddingTwiceAppendsTwice)
{
    MergeWorkspace m({});
    const QString source = m.source({foreignRow(3), foreignRow(3, 1), foreignRow(7)});

    EXPECT_EQ(addDeclaration(m.ws.settings, source).rowsAdded, 3);
    EXPECT_EQ(m.ws.column("dkey").size(), 3);
    EXPECT_EQ(m.ws.column("dkey").first(), QStringLiteral("00000300000000=71070123450012030000000300000000"));
    EXPECT_EQ(m.ws.column("dkey").last(), QStringLiteral("00000700000000=71070123450012030000000700000000"));

    // Nothing recognises the second copy: it is numbered after the first.
    addDeclaration(m.ws.settings, source);
    const QStringList keys = m.ws.column("dkey");
    ASSERT_EQ(keys.size(), 6);
    EXPECT_TRUE(keys.at(3).startsWith(u"00001000000000=")) << keys.at(3).toStdString();
    EXPECT_TRUE(keys.at(5).startsWith(u"00001400000000=")) << keys.at(5).toStdString();
}

TEST(MergeAdd, ColumnsAreMatchedByNameWhateverTheSourceLayout)
{
    MergeWorkspace m({row(1)});
    // An older layout: fewer columns, in another order, one of them typed as text.
    const QString source = m.ws.dir.write(
        QStringLiteral("old.xml"),
        handWrittenPacket("<FIELD attrname=\"rest\" fieldtype=\"fixed\" DECIMALS=\"3\" WIDTH=\"19\"/>\r\n"
                          "<FIELD attrname=\"production_code\" fieldtype=\"string\" WIDTH=\"10\"/>\r\n"
                          "<FIELD attrname=\"DKEY\" fieldtype=\"string\" WIDTH=\"32\"/>\r\n",
                          "<ROW rest=\"2.250\" production_code=\"200\" DKEY=\"" + declarationKey(1, 1) + "\"/>\r\n"));

    addDeclaration(m.ws.settings, source);
    EXPECT_EQ(m.ws.column("production_code").last(), QStringLiteral("00000200000100=200"));
    EXPECT_EQ(m.ws.column("rest").last(), QStringLiteral("00000200000100=2.250"));
    EXPECT_EQ(m.ws.column("supply_name").last(), QStringLiteral("00000200000100="));
}

TEST(MergeAdd, RefusalsLeaveTheDeclarationByteForByte)
{
    MergeWorkspace m({row(999990), row(999990, 1)});
    const QByteArray before = readAll(m.ws.declaration());
    const auto expectRefused = [&](const QString &file, const QString &part) {
        expectRefusal(m, addDeclaration, file, part, before);
    };

    // 999990 + 9 still fits; 999990 + 10 would need a seventh digit.
    const QString fits = m.source({foreignRow(9)});
    const QString overflow = m.source({foreignRow(9), foreignRow(10), foreignRow(10, 1)});
    expectRefused(overflow, QStringLiteral("превысит 999999"));
    const QString broken = m.ws.dir.write(QStringLiteral("broken.xml"), "<DATAPACKET><METADATA>");
    expectRefused(broken, broken);
    expectRefused(m.ws.dir.file(QStringLiteral("missing.xml")), m.ws.dir.file(QStringLiteral("missing.xml")));
    expectRefused(m.source({foreignRow(1), "dkey=\"БИТЫЙ\""}), QStringLiteral("БИТЫЙ"));
    // Half a package is no value of the declaration's integer column: refused rather than rounded.
    const QString half = m.source({foreignRow(1), foreignRow(1, 1, 0, "package_count=\"3.5\"")});
    retypeColumn(half, "package_count", "fieldtype=\"r8\"");
    expectRefused(half, QStringLiteral("package_count"));

    EXPECT_EQ(addDeclaration(m.ws.settings, fits).rowsAdded, 1);
    EXPECT_EQ(m.ws.column("dkey").last(), QStringLiteral("99999900000000=71070123450012030099999900000000"));
}

TEST(MergeReplace, PutsTheFileInPlaceUnchangedAfterABackup)
{
    MergeWorkspace m({row(1), row(1, 1)});
    const QByteArray before = readAll(m.ws.declaration());
    const QString other = m.source({foreignRow(4), foreignRow(4, 1), foreignRow(5)});

    const MergeResult r = replaceDeclaration(m.ws.settings, other);
    EXPECT_EQ(readAll(m.ws.declaration()), readAll(other));
    EXPECT_EQ(readAll(r.backupFile), before);
    EXPECT_EQ(r.rowsAdded, 3);
    EXPECT_EQ(r.message, QStringLiteral("Отчет заменен: строк 3"));
    // The other month's YYMM stays in the keys.
    EXPECT_EQ(m.ws.column("dkey").first(), QStringLiteral("00000400000000=50010073220012020000000400000000"));

    const QByteArray replaced = readAll(m.ws.declaration());
    const QString text = m.ws.dir.write(QStringLiteral("text.xml"), "просто текст");
    EXPECT_THROW(replaceDeclaration(m.ws.settings, text), KalvorError);
    EXPECT_EQ(readAll(m.ws.declaration()), replaced);
    EXPECT_EQ(maintenance::backupsOf(m.ws.settings.FcurDir, m.ws.declaration()).size(), 1);
}

TEST(MergeReplace, RefusesWhatIsNotADeclarationTable)
{
    MergeWorkspace m({row(1), row(1, 1)});
    const QByteArray before = readAll(m.ws.declaration());
    const auto expectRefused = [&](const QString &file, const QString &part) {
        expectRefusal(m, replaceDeclaration, file, part, before);
    };
    // A reference book is a data packet, but not a declaration.
    expectRefused(m.ws.dir.write(QStringLiteral("regions.xml"),
                                 handWrittenPacket("<FIELD attrname=\"code\" fieldtype=\"i2\"/>\r\n"
                                                   "<FIELD attrname=\"name\" fieldtype=\"string\" WIDTH=\"50\"/>\r\n",
                                                   "<ROW code=\"71\" name=\"Тульская область\"/>\r\n")),
                  QStringLiteral("нет поля dkey"));
    // A declaration whose remains are text is not one either.
    const QString textRest = m.source({foreignRow(4), foreignRow(4, 1, 0, "rest=\"5.000\"")});
    retypeColumn(textRest, "rest", "fieldtype=\"string\" WIDTH=\"20\"");
    expectRefused(textRest, QStringLiteral("поле rest имеет тип string вместо fixed"));
    // A FIFO is refused at once instead of being read twice (the second reading found it empty).
    const QString fifo = m.ws.dir.file(QStringLiteral("pipe.xml"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    expectRefused(fifo, QStringLiteral("не является обычным файлом"));
}
