#include "store/KalvorError.h"
#include "store/TKalvor.h"
#include "store/Table.h"

#include "support/SampleRequisites.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

QString requisitesTemplate()
{
    return QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml");
}

} // namespace

TEST(RequisitesValidation, EveryFieldIsRequired)
{
    EXPECT_TRUE(requisitesAccepted(test::sampleRequisites()));
    QString RequisitesEntry::*const fields[] = {&RequisitesEntry::organizationName, &RequisitesEntry::dkey,
        &RequisitesEntry::lowAddress, &RequisitesEntry::postAddress, &RequisitesEntry::departmentCount,
        &RequisitesEntry::licenseSerial, &RequisitesEntry::licenseNumber, &RequisitesEntry::licenseDate,
        &RequisitesEntry::licenseDeadline, &RequisitesEntry::nameLeader, &RequisitesEntry::nameCounter};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        RequisitesEntry empty = test::sampleRequisites();
        empty.*fields[i] = QString();
        EXPECT_FALSE(requisitesAccepted(empty)) << "field " << i;
        RequisitesEntry blank = test::sampleRequisites();
        blank.*fields[i] = QStringLiteral("   ");
        EXPECT_FALSE(requisitesAccepted(blank)) << "field " << i;
    }
}

TEST(RequisitesValidation, SubdivisionCountAndInn)
{
    auto with = [](auto change) {
        RequisitesEntry e = test::sampleRequisites();
        change(e);
        return requisitesAccepted(e);
    };
    EXPECT_FALSE(with([](RequisitesEntry &e) { e.departmentCount = QStringLiteral("0"); }));
    EXPECT_FALSE(with([](RequisitesEntry &e) { e.departmentCount = QStringLiteral("-2"); }));
    EXPECT_FALSE(with([](RequisitesEntry &e) { e.departmentCount = QStringLiteral("два"); }));
    EXPECT_TRUE(with([](RequisitesEntry &e) { e.departmentCount = QStringLiteral("12"); }));

    EXPECT_FALSE(with([](RequisitesEntry &e) { e.dkey = QStringLiteral("123456789"); }));
    EXPECT_TRUE(with([](RequisitesEntry &e) { e.dkey = QStringLiteral("123456789012"); }));
    EXPECT_FALSE(with([](RequisitesEntry &e) { e.dkey = QStringLiteral("12345678901"); }));
    EXPECT_FALSE(with([](RequisitesEntry &e) { e.dkey = QStringLiteral("123456789O"); }));
    EXPECT_FALSE(requisitesRefusedMessage().isEmpty());
}

TEST(TKalvorTest, WithoutATableEverythingIsEmpty)
{
    const TKalvor k = TKalvor::Create();
    EXPECT_TRUE(k.FName.isEmpty());
    EXPECT_TRUE(k.FINN.isEmpty());
    EXPECT_EQ(k.FDepartmentCount, 0);
    EXPECT_FALSE(k.FLicenseDeadline.isValid());

    Table closed;
    EXPECT_TRUE(TKalvor::Create(&closed).FName.isEmpty());
}

TEST(TKalvorTest, ReadsTheCurrentRowOfARequisitesTable)
{
    test::TempDir dir;
    const QString file = dir.file(QStringLiteral("kalvor.xml"));
    ASSERT_TRUE(QFile::copy(requisitesTemplate(), file));

    Table table(file);
    table.open();
    EXPECT_TRUE(TKalvor::Create(&table).FName.isEmpty()); // no row yet

    RequisitesEntry entry = test::sampleRequisites();
    entry.dkey = QStringLiteral("123456789012");
    entry.departmentCount = QStringLiteral("3");
    table.append();
    writeRequisitesEntry(table, entry);
    table.post();
    table.saveToFile();
    table.close();

    Table reread(file);
    reread.open();
    const TKalvor k = TKalvor::Create(&reread);
    EXPECT_EQ(k.FName, entry.organizationName);
    EXPECT_EQ(k.FINN, QStringLiteral("123456789012"));
    EXPECT_EQ(k.FLowAddress, entry.lowAddress);
    EXPECT_EQ(k.FPostAddress, entry.postAddress);
    EXPECT_EQ(k.FDepartmentCount, 3);
    EXPECT_EQ(k.FLicenseSerial, entry.licenseSerial);
    EXPECT_EQ(k.FLicenseNumber, entry.licenseNumber);
    EXPECT_EQ(k.FLicenseDate, QDate(2010, 1, 1));
    EXPECT_EQ(k.FLicenseDeadline, QDate(2012, 12, 31));
    EXPECT_EQ(k.FNameLeader, entry.nameLeader);
    EXPECT_EQ(k.FNameCounter, entry.nameCounter);

    // The entry read back is what the dialog saved, so it passes the same check.
    const RequisitesEntry back = requisitesEntryOf(reread.currentRow());
    EXPECT_EQ(back.licenseDeadline, QStringLiteral("31.12.2012"));
    EXPECT_EQ(back.departmentCount, QStringLiteral("3"));
    EXPECT_TRUE(requisitesAccepted(back));
}

TEST(TKalvorTest, ATableWithoutRequisitesColumnsIsAnError)
{
    test::TempDir dir;
    const QString file = dir.write(QStringLiteral("other.xml"),
        "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
        "<FIELD attrname=\"code\" fieldtype=\"i4\" /></FIELDS></METADATA><ROWDATA>"
        "<ROW RowState=\"4\" code=\"1\" /></ROWDATA></DATAPACKET>\r\n");
    Table table(file);
    table.open();
    EXPECT_THROW(TKalvor::Create(&table), KalvorError);
}
