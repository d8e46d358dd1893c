#include "period/ReportFolder.h"

#include "app/IniFile.h"
#include "app/TAppSettings.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"
#include "support/SampleRequisites.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

const QString kDeclarationName = QStringLiteral("710701234500120300.xml");
const QString kKalvorName = QStringLiteral("710701234500120300d.xml");

QString msg(const char *text)
{
    return QString::fromUtf8(text);
}

QString writeRequisites(const QString &folder, const QString &name, int departments)
{
    const QString path = QDir(folder).filePath(name);
    if (!CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), path))
        ADD_FAILURE() << "no requisites template";
    Table table(path);
    table.open();
    table.append();
    RequisitesEntry entry = sampleRequisites(QStringLiteral("7107012345"));
    entry.departmentCount = QString::number(departments);
    writeRequisitesEntry(table, entry);
    table.post();
    table.saveToFile();
    return path;
}

// A handed-in report: <dir>/<name>/ with a declaration of these rows and requisites of n subdivisions.
QString reportFolder(const TempDir &dir, const QString &name, const QList<QByteArray> &rows, int departments = 1)
{
    const QString folder = dir.file(name);
    QDir().mkpath(folder);
    writeDeclaration(folder, kDeclarationName, rows);
    writeRequisites(folder, kKalvorName, departments);
    return folder;
}

QByteArray positionRow(int invoice, int position, const QByteArray &more)
{
    return "dkey=\"" + declarationKey(invoice, position) + "\" " + more;
}

} // namespace

TEST(ReportFolderCheck, FolderNameMustBeAPeriod)
{
    TempDir dir;
    const QList<QByteArray> rows = {positionRow(1, 1, "department_code=\"1\"")};
    for (const char *name : {"2012ab", "20123", "2012031", "20a203"}) {
        const ReportFolderCheck check = checkReportFolder(reportFolder(dir, QString::fromLatin1(name), rows));
        EXPECT_FALSE(check.accepted) << name;
        EXPECT_EQ(check.messages, QStringList{msg(kFolderNameMessage)}) << name;
    }

    const ReportFolderCheck month13 = checkReportFolder(reportFolder(dir, QStringLiteral("201213"), rows));
    EXPECT_FALSE(month13.accepted);
    EXPECT_EQ(month13.messages, QStringList{msg(kFolderMonthMessage)});

    // Month 00 is let through; a trailing separator does not hide the folder's name.
    const ReportFolderCheck month0 = checkReportFolder(reportFolder(dir, QStringLiteral("201200"), rows) + u'/');
    EXPECT_TRUE(month0.accepted);
    EXPECT_TRUE(month0.messages.isEmpty());
    EXPECT_EQ(month0.year, 12);
    EXPECT_EQ(month0.month, 0);
    EXPECT_EQ(month0.periodString, QStringLiteral("201200"));
}

TEST(ReportFolderCheck, ClassifiesFilesByNameAndReportsEachStrangeOne)
{
    TempDir dir;
    const QString folder = reportFolder(dir, QStringLiteral("201203"), {});
    dir.write(QStringLiteral("201203/notes.xml"), "x");  // 9 characters
    dir.write(QStringLiteral("201203/readme.txt"), "x"); // not looked at
    // Of two declarations the later in name order is taken.
    writeDeclaration(folder, QStringLiteral("710701234500120200.xml"), {});

    const ReportFolderCheck check = checkReportFolder(folder);
    EXPECT_TRUE(check.accepted);
    EXPECT_EQ(check.messages, QStringList{msg(kWrongFileNameMessage)});
    EXPECT_EQ(check.declarationFileName, QDir(folder).filePath(kDeclarationName));
    EXPECT_EQ(check.kalvorFileName, QDir(folder).filePath(kKalvorName));

    dir.write(QStringLiteral("201203/1234567890123456789012345.xml"), "x");
    EXPECT_EQ(checkReportFolder(folder).messages,
              (QStringList{msg(kWrongFileNameMessage), msg(kWrongFileNameMessage)}));
}

TEST(ReportFolderCheck, BothFilesAreNeeded)
{
    TempDir dir;
    const QString onlyTable = dir.file(QStringLiteral("201203"));
    QDir().mkpath(onlyTable);
    writeDeclaration(onlyTable, kDeclarationName, {});
    const ReportFolderCheck check = checkReportFolder(onlyTable);
    EXPECT_FALSE(check.accepted);
    EXPECT_EQ(check.messages, QStringList{msg(kFilesMissingMessage)});
}

TEST(ReportVerification, MissingSubdivisionsWarnNegativeRemainsFail)
{
    TempDir dir;
    const QString gaps = reportFolder(
        dir, QStringLiteral("201203"),
        {positionRow(1, 1, "department_code=\"1\" rest=\"2.000\""), positionRow(1, 2, "department_code=\"3\"")}, 3);
    const ReportFolderCheck check = checkReportFolder(gaps);
    Verification v = verifyReport(check.declarationFileName, check.kalvorFileName);
    EXPECT_TRUE(v.success);
    EXPECT_EQ(v.messages, (QStringList{msg(kDepartmentsMissingMessage), msg(kVerificationPassedMessage)}));

    const QString negative = reportFolder(dir, QStringLiteral("201204"),
                                          {positionRow(1, 1, "department_code=\"1\" rest=\"0.000\""),
                                           positionRow(1, 2, "department_code=\"2\" rest=\"-0.500\"")},
                                          2);
    const ReportFolderCheck negativeCheck = checkReportFolder(negative);
    v = verifyReport(negativeCheck.declarationFileName, negativeCheck.kalvorFileName);
    EXPECT_FALSE(v.success);
    EXPECT_EQ(v.messages, QStringList{msg(kVerificationFailedMessage)});

    // Codes that are no whole numbers name no subdivision (2.5 is not 2) and stop nothing; codes beyond
    // the count are ignored.
    const QString odd = reportFolder(
        dir, QStringLiteral("201205"),
        {positionRow(1, 1, "department_code=\"1\""), positionRow(1, 2, "department_code=\"2.5\""),
         positionRow(1, 3, "department_code=\"Склад\""), positionRow(1, 4, "department_code=\"99999999999999999999\""),
         positionRow(1, 5, "department_code=\"4\"")},
        2);
    const ReportFolderCheck oddCheck = checkReportFolder(odd);
    v = verifyReport(oddCheck.declarationFileName, oddCheck.kalvorFileName);
    EXPECT_TRUE(v.success);
    EXPECT_EQ(v.messages, (QStringList{msg(kDepartmentsMissingMessage), msg(kVerificationPassedMessage)}));
}

TEST(ReportVerification, UnreadableFilesAreNamedAndTheFolderCheckCarriesEverything)
{
    TempDir dir;
    const QString folder = reportFolder(dir, QStringLiteral("201203"), {positionRow(1, 1, "department_code=\"1\"")});
    dir.write(QStringLiteral("201203/abc.xml"), "x");

    const Verification passed = verifyFolder(folder);
    EXPECT_EQ(passed.messages, (QStringList{msg(kWrongFileNameMessage), msg(kVerificationPassedMessage)}));
    EXPECT_TRUE(passed.success);

    const QString broken = dir.write(QStringLiteral("201203/") + kDeclarationName, "<DATAPACKET");
    try {
        verifyReport(broken, QDir(folder).filePath(kKalvorName));
        ADD_FAILURE() << "a broken declaration was verified";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(broken)) << e.message().toStdString();
    }
    const Verification unreadable = verifyFolder(folder);
    EXPECT_FALSE(unreadable.success);
    EXPECT_TRUE(unreadable.messages.last().contains(broken)) << unreadable.messages.join(u'|').toStdString();

    const QString badName = reportFolder(dir, QStringLiteral("201299"), {});
    const Verification badMonth = verifyFolder(badName);
    EXPECT_EQ(badMonth.messages, QStringList{msg(kFolderMonthMessage)});
    EXPECT_FALSE(badMonth.success);
}

TEST(ReportVerification, RemainsThatAreNoNumberAndColumnsOfAnotherTypeFail)
{
    TempDir dir;
    // Remains kept as text: each spelling of minus five would read as 0 and pass.
    const QString folder = reportFolder(dir, QStringLiteral("201203"),
                                        {positionRow(1, 1, "department_code=\"1\" rest=\" -5.000\""),
                                         positionRow(1, 2, "department_code=\"1\" rest=\"-5,000\""),
                                         positionRow(1, 3, "department_code=\"1\" rest=\"2.000\"")});
    const QString declaration = QDir(folder).filePath(kDeclarationName);
    retypeColumn(declaration, "rest", "fieldtype=\"string\" WIDTH=\"20\"");
    Verification v = verifyReport(declaration, QDir(folder).filePath(kKalvorName));
    EXPECT_FALSE(v.success);
    // One message lists the faults (the window shows each message in a box of its own).
    EXPECT_EQ(v.messages,
              (QStringList{
                  QStringLiteral("Декларация %1: поле rest имеет тип string вместо fixed\n"
                                 "Строка 71070123450012030000000100000100: остаток rest « -5.000» не является числом\n"
                                 "Строка 71070123450012030000000100000200: остаток rest «-5,000» не является числом")
                      .arg(declaration),
                  msg(kVerificationFailedMessage)}));

    // Of many such rows the first ten are named and the others counted.
    QList<QByteArray> rows;
    for (int i = 1; i <= 13; ++i)
        rows.append(positionRow(1, i, "department_code=\"1\" rest=\"н/д\""));
    const QString many = reportFolder(dir, QStringLiteral("201204"), rows);
    retypeColumn(QDir(many).filePath(kDeclarationName), "rest", "fieldtype=\"string\" WIDTH=\"20\"");
    v = verifyReport(QDir(many).filePath(kDeclarationName), QDir(many).filePath(kKalvorName));
    ASSERT_EQ(v.messages.size(), 2);
    const QStringList lines = v.messages.first().split(u'\n');
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines.at(11), QStringLiteral("Еще строк с остатком, который не является числом: 3"));

    // A number column of another type fails too, though every value in it reads.
    const QString typed =
        reportFolder(dir, QStringLiteral("201205"), {positionRow(1, 1, "department_code=\"1\" package_count=\"3.5\"")});
    retypeColumn(QDir(typed).filePath(kDeclarationName), "package_count", "fieldtype=\"r8\"");
    v = verifyReport(QDir(typed).filePath(kDeclarationName), QDir(typed).filePath(kKalvorName));
    EXPECT_FALSE(v.success);
    EXPECT_TRUE(v.messages.first().endsWith(QStringLiteral("поле package_count имеет тип r8 вместо i4")));
}

TEST(ReportVerification, AFifoInTheFolderIsReportedNotRead)
{
    TempDir dir;
    const QString folder = reportFolder(dir, QStringLiteral("201203"), {positionRow(1, 1, "department_code=\"1\"")});
    const QString declaration = QDir(folder).filePath(kDeclarationName);
    QFile::remove(declaration);
    ASSERT_EQ(::mkfifo(QFile::encodeName(declaration).constData(), 0600), 0);
    const Verification v = verifyFolder(folder);
    EXPECT_FALSE(v.success);
    ASSERT_FALSE(v.messages.isEmpty());
    EXPECT_TRUE(v.messages.last().endsWith(declaration
                                           + QStringLiteral(" не является обычным файлом (это папка, устройство или канал)")))
        << v.messages.join(u';').toStdString();
}

TEST(ReportLoading, SwitchesThePeriodAndReadsRequisitesAndVersion)
{
    TempDir dir;
    const QString folder =
        reportFolder(dir, QStringLiteral("201102"),
                     {"dkey=\"" + declarationKey(2) + "\" version=\"2.0.1\"",
                      "dkey=\"" + declarationKey(1) + "\" version=\"1.5\"", positionRow(1, 1, "version=\"0.9\"")});
    TAppSettings settings;
    settings.SetcurDir(dir.path() + u'/');
    settings.SetIniFile(IniFile(dir.file(QStringLiteral("tamrel.ini"))));
    settings.FIniFile.writeString(QStringLiteral("last_period"), QStringLiteral("period"), QStringLiteral("201203"));
    const QByteArray ini = readAll(dir.file(QStringLiteral("tamrel.ini")));
    settings.SetINNYYMMCC(QStringLiteral("500100732200120300"));

    const LoadedReport loaded = loadReportFolder(settings, checkReportFolder(folder));
    EXPECT_EQ(loaded.versionText, QStringLiteral("1.5"));
    EXPECT_EQ(loaded.requisitesLine, QStringLiteral("ООО Ромашка, ИНН 7107012345, г. Тула, А 123, 31.12.2012"));
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201102"));
    EXPECT_EQ(settings.FPeriodYear, 11);
    EXPECT_EQ(settings.FPeriodMonth, 2);
    EXPECT_EQ(settings.FDeclarationFileName, QDir(folder).filePath(kDeclarationName));
    EXPECT_EQ(settings.FKalvorFileName, QDir(folder).filePath(kKalvorName));
    EXPECT_EQ(settings.Fkalvor.FName, QStringLiteral("ООО Ромашка"));
    // New invoices of the loaded report take its filer's INN and its month.
    EXPECT_EQ(settings.FINNYYMMCC, QStringLiteral("710701234500110200"));
    EXPECT_EQ(readAll(dir.file(QStringLiteral("tamrel.ini"))), ini);
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("temp/kalvor.xml"))));
}

TEST(ReportLoading, VersionLabelFallsBackAndAFailedLoadChangesNothing)
{
    TempDir dir;
    const QString noVersion =
        writeDeclaration(dir.path(), QStringLiteral("a.xml"),
                         {"dkey=\"" + declarationKey(1) + "\"", positionRow(1, 1, "version=\"3\"")});
    EXPECT_EQ(reportVersion(noVersion), msg(kUnknownVersionText));
    EXPECT_EQ(reportVersion(writeDeclaration(dir.path(), QStringLiteral("b.xml"), {})), msg(kUnknownVersionText));
    const QString noColumn = dir.write(
        QStringLiteral("c.xml"), handWrittenPacket("<FIELD attrname=\"dkey\" fieldtype=\"string\" WIDTH=\"32\"/>\r\n",
                                                   "<ROW dkey=\"" + declarationKey(1) + "\"/>\r\n"));
    EXPECT_EQ(reportVersion(noColumn), msg(kUnknownVersionText));

    const QString folder = reportFolder(dir, QStringLiteral("201102"), {});
    const QString requisites = dir.write(QStringLiteral("201102/") + kKalvorName, "not a packet");
    TAppSettings settings;
    settings.SetcurDir(dir.path() + u'/');
    settings.SetPeriodString(QStringLiteral("201203"));
    try {
        loadReportFolder(settings, checkReportFolder(folder));
        ADD_FAILURE() << "broken requisites were loaded";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(requisites)) << e.message().toStdString();
    }
    EXPECT_EQ(settings.FPeriodString, QStringLiteral("201203"));
    EXPECT_TRUE(settings.FDeclarationFileName.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("temp/kalvor.xml"))));
}
