#include "refbooks/RefBooks.h"
#include "store/DeclarationGenerator.h"
#include "store/Table.h"
#include "support/TempDir.h"

#include "KalvorBuildInfo.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

QString deliveredBook(const char *name) { return QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/reports/") + QString::fromLatin1(name); }

QMap<qint64, QString> codeList(const char *name, RefBook book)
{
    Table table;
    EXPECT_TRUE(openRefBook(table, deliveredBook(name), book).isEmpty()) << name;
    QMap<qint64, QString> codes;
    for (int i = 0; i < table.recordCount(); ++i) {
        const RowView row = table.row(i);
        EXPECT_FALSE(codes.contains(row.asInteger(u"code"))) << "duplicate code in " << name;
        codes.insert(row.asInteger(u"code"), row.asString(u"name"));
    }
    return codes;
}

} // namespace

TEST(DeliveredBooks, EveryBookLoadsWithItsColumnsInTheHandWrittenForm)
{
    const std::pair<const char *, RefBook> books[] = {
        {"regions.xml", RefBook::Regions},           {"production.xml", RefBook::KindProduction},
        {"department.xml", RefBook::DepartmentCode}, {"supplier.xml", RefBook::Supplier},
        {"prodReference.xml", RefBook::ProductionReference},
    };
    for (const auto &[name, book] : books) {
        SCOPED_TRACE(name);
        Table table;
        ASSERT_TRUE(openRefBook(table, deliveredBook(name), book).isEmpty());
        QStringList columns;
        for (const FieldDef &f : table.fields())
            columns << f.name;
        QStringList expected;
        for (const FieldDef &f : refBookFields(book))
            expected << f.name;
        EXPECT_EQ(columns, expected);
        if (refBookEditable(book)) {
            EXPECT_TRUE(table.isEmpty()); // the user fills these
        }

        const QByteArray bytes = test::readAll(deliveredBook(name));
        EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET"));
        EXPECT_EQ(bytes.count("\r\n"), bytes.count('\n')); // CR LF throughout
    }
}

TEST(DeliveredBooks, RegionsAreTheSubjectsOfTheFederation)
{
    const QMap<qint64, QString> regions = codeList("regions.xml", RefBook::Regions);
    EXPECT_EQ(regions.size(), 89);
    EXPECT_EQ(regions.value(77), QStringLiteral("г. Москва"));
    EXPECT_EQ(regions.value(78), QStringLiteral("г. Санкт-Петербург"));
    EXPECT_EQ(regions.value(50), QStringLiteral("Московская область"));
    EXPECT_EQ(regions.value(71), QStringLiteral("Тульская область"));
    EXPECT_FALSE(regions.contains(0)); // 0 marks imported goods, not a region
    for (auto it = regions.begin(); it != regions.end(); ++it) {
        EXPECT_GE(it.key(), 1);
        EXPECT_LE(it.key(), 99);
        EXPECT_FALSE(it.value().isEmpty());
    }
}

TEST(DeliveredBooks, KindsAreCodesOneToEight)
{
    const QMap<qint64, QString> kinds = codeList("production.xml", RefBook::KindProduction);
    EXPECT_EQ(kinds.keys(), (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8}));
    // The vodka and cognac price checks rely on these two.
    EXPECT_TRUE(kinds.value(1).startsWith(QStringLiteral("Водка")));
    EXPECT_TRUE(kinds.value(3).startsWith(QStringLiteral("Коньяк")));
}

TEST(DeliveredBooks, GeneratedDeclarationsUseOnlyCodesOfTheBooks)
{
    const QMap<qint64, QString> regions = codeList("regions.xml", RefBook::Regions);
    const QMap<qint64, QString> kinds = codeList("production.xml", RefBook::KindProduction);
    test::TempDir dir;
    DeclarationOptions options;
    options.invoices = 300;
    const QString file = dir.file(QStringLiteral("declaration.xml"));
    ASSERT_TRUE(DeclarationGenerator(options).writeFile(file.toStdString()));
    Table declaration(file);
    declaration.open();
    QSet<qint64> kindsSeen;
    for (int i = 0; i < declaration.recordCount(); ++i) {
        const RowView row = declaration.row(i);
        if (row.isNull(u"production_code"))
            continue; // invoice rows
        kindsSeen.insert(row.asInteger(u"production_code"));
        EXPECT_TRUE(kinds.contains(row.asInteger(u"production_code"))) << row.asInteger(u"production_code");
        EXPECT_TRUE(regions.contains(row.asInteger(u"region_code"))) << row.asInteger(u"region_code");
    }
    EXPECT_GE(kindsSeen.size(), 6);
}
