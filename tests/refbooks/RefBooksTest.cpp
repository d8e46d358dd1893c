#include "refbooks/RefBookSearch.h"
#include "refbooks/RefBooks.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace kalvor;
using kalvor::test::TempDir;

namespace {

// A production reference in memory, ordered by name as the window shows it.
void fillProducts(Table &table, const QStringList &names)
{
    table.createEmpty(refBookFields(RefBook::ProductionReference));
    table.setIndexFieldNames(refBookOrder(RefBook::ProductionReference));
    for (const QString &name : names) {
        table.append();
        table.setString(u"production_name", name);
        table.post();
    }
    table.first();
}

// A book file with rows given as column -> value pairs, written in file order.
QString writeBook(const TempDir &dir, const QString &name, RefBook book,
                  const QList<QList<QPair<QString, QString>>> &rows)
{
    Table table;
    table.createEmpty(refBookFields(book));
    for (const auto &row : rows) {
        table.append();
        for (const auto &[column, value] : row)
            table.setString(column, value);
        table.post();
    }
    const QString file = dir.file(name);
    table.saveToFile(file);
    return file;
}

QString nameAt(const Table &table) { return table.asString(u"production_name"); }

} // namespace

TEST(RefBookSearch, FindsCaseInsensitivelyForwardThenBackward)
{
    Table t;
    // Presented as: Вино Красное, Водка Пшеничная, Водка Столичная, Коньяк Старый.
    fillProducts(t, {QStringLiteral("Водка Столичная"), QStringLiteral("Коньяк Старый"), QStringLiteral("Вино Красное"),
                     QStringLiteral("Водка Пшеничная")});

    EXPECT_TRUE(searchForward(t, u"production_name", QStringLiteral("ВОДК")));
    EXPECT_EQ(nameAt(t), QStringLiteral("Водка Пшеничная"));
    // The current row already matches: the next match after it.
    EXPECT_TRUE(searchForward(t, u"production_name", QStringLiteral("водк")));
    EXPECT_EQ(nameAt(t), QStringLiteral("Водка Столичная"));
    // Nothing after it: the nearest earlier match.
    EXPECT_TRUE(searchForward(t, u"production_name", QStringLiteral("водк")));
    EXPECT_EQ(nameAt(t), QStringLiteral("Водка Пшеничная"));

    // From the last row, which matches itself: it must not count, the earlier match is found.
    t.last();
    EXPECT_FALSE(searchForward(t, u"production_name", QStringLiteral("СТАР")));
    EXPECT_EQ(nameAt(t), QStringLiteral("Коньяк Старый"));
    EXPECT_TRUE(searchForward(t, u"production_name", QStringLiteral("ст")));
    EXPECT_EQ(nameAt(t), QStringLiteral("Водка Столичная"));

    // "<" goes backwards only and stays when nothing is before.
    EXPECT_TRUE(searchBackward(t, u"production_name", QStringLiteral("вин")));
    EXPECT_EQ(t.recNo(), 1);
    EXPECT_FALSE(searchBackward(t, u"production_name", QStringLiteral("вин")));
    EXPECT_EQ(t.recNo(), 1);

    // A text found nowhere leaves the row as it was.
    t.setRecNo(3);
    EXPECT_FALSE(searchForward(t, u"production_name", QStringLiteral("виски")));
    EXPECT_FALSE(searchBackward(t, u"production_name", QStringLiteral("виски")));
    EXPECT_EQ(t.recNo(), 3);
}

TEST(RefBookSearch, IncrementalSearchNarrowsWithoutSkippingTheFoundRow)
{
    Table t;
    fillProducts(t, {QStringLiteral("Водка Пшеничная"), QStringLiteral("Водка Пшеничная особая"),
                     QStringLiteral("Бренди")});
    // Typing В, Во, Вод, ...: every step stays on the first product that still contains the text.
    QString typed;
    for (const QChar c : QStringLiteral("Водка П")) {
        typed += c;
        searchIncremental(t, u"production_name", typed);
        EXPECT_EQ(nameAt(t), QStringLiteral("Водка Пшеничная")) << typed.toStdString();
    }
    searchIncremental(t, u"production_name", QStringLiteral("ос"));
    EXPECT_EQ(nameAt(t), QStringLiteral("Водка Пшеничная особая"));

    Table empty;
    fillProducts(empty, {});
    EXPECT_FALSE(searchIncremental(empty, u"production_name", QStringLiteral("в")));
    EXPECT_FALSE(searchForward(empty, u"production_name", QStringLiteral("в")));
}

TEST(RefBookSearch, KeysThatStartTheIncrementalSearch)
{
    for (const QChar c : QStringLiteral("09azAZАяЖёЁ"))
        EXPECT_TRUE(startsIncrementalSearch(c)) << QString(c).toStdString();
    for (const QChar c : QStringLiteral(" -.,\t\"№"))
        EXPECT_FALSE(startsIncrementalSearch(c)) << QString(c).toStdString();
}

TEST(DepartmentLimit, RefusesAtOrAboveTheDeclaredNumber)
{
    const QString prefix = QStringLiteral("Нельзя добавить подразделений больше чем указано в реквизитах - ");
    EXPECT_EQ(departmentLimitRefusal(2, 2), prefix + u'2');
    EXPECT_EQ(departmentLimitRefusal(0, 0), prefix + u'0');
    EXPECT_EQ(departmentLimitRefusal(2, 1), prefix + u'1'); // requisites lowered below the list
    EXPECT_TRUE(departmentLimitRefusal(1, 2).isEmpty());
    EXPECT_TRUE(departmentLimitRefusal(0, 1).isEmpty());
}

TEST(DepartmentLimit, CountComesFromTheRequisitesRow)
{
    Table kalvor;
    kalvor.createEmpty({FieldDef{QStringLiteral("dkey"), "string", FieldKind::String, {}, 12, 0, {}},
                        FieldDef{QStringLiteral("department_count"), "i4", FieldKind::Integer, {}, 0, 0, {}}});
    EXPECT_EQ(departmentCountOf(kalvor), 0); // no row yet
    kalvor.append();
    kalvor.setString(u"dkey", QStringLiteral("1234567890"));
    kalvor.post();
    EXPECT_EQ(departmentCountOf(kalvor), 0); // empty count
    kalvor.edit();
    kalvor.setString(u"department_count", QStringLiteral("3"));
    kalvor.post();
    EXPECT_EQ(departmentCountOf(kalvor), 3);
}

class ProductionEntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto [table, book] : {std::pair{&m_kinds, RefBook::KindProduction}, std::pair{&m_regions, RefBook::Regions}}) {
            table->createEmpty(refBookFields(book));
            for (const char *code : {"1", "3", "71"}) {
                table->append();
                table->setString(u"code", QString::fromLatin1(code));
                table->setString(u"name", QStringLiteral("Название"));
                table->post();
            }
        }
        m_entry.createEmpty(refBookFields(RefBook::ProductionReference));
        m_entry.append();
        m_entry.setString(u"production_name", QStringLiteral("Водка Пшеничная"));
        m_entry.setString(u"producer_name", QStringLiteral("ОАО \"Тульский ЛВЗ\""));
        m_entry.setString(u"production_code", QStringLiteral("1"));
        m_entry.setString(u"region_code", QStringLiteral("71"));
        m_entry.setString(u"package_volume", QStringLiteral("0,5"));
    }

    ProductionEntryCheck check() const { return checkProductionEntry(m_entry.currentRow(), m_kinds, m_regions); }

    Table m_kinds, m_regions, m_entry;
};

TEST_F(ProductionEntryTest, CompleteEntryPasses) { EXPECT_TRUE(check().passed()); }

TEST_F(ProductionEntryTest, PackageVolumeMustBeAboveZero)
{
    for (const char *bad : {"0", "", "-1"}) {
        m_entry.setString(u"package_volume", QString::fromLatin1(bad));
        EXPECT_TRUE(check().packageVolumeWrong) << bad;
        EXPECT_FALSE(check().passed()) << bad;
    }
    m_entry.setString(u"package_volume", QStringLiteral("0,001"));
    EXPECT_TRUE(check().passed());
}

TEST_F(ProductionEntryTest, EachMissingPartIsFlaggedOnItsOwn)
{
    m_entry.setString(u"production_name", QStringLiteral("   "));
    m_entry.setString(u"producer_name", QString());
    m_entry.setString(u"production_code", QStringLiteral("9")); // not in the kinds book
    m_entry.setNull(u"region_code");
    const ProductionEntryCheck c = check();
    EXPECT_TRUE(c.productionNameEmpty);
    EXPECT_TRUE(c.producerNameEmpty);
    EXPECT_TRUE(c.kindUnknown);
    EXPECT_TRUE(c.regionUnknown);
    EXPECT_FALSE(c.packageVolumeWrong);
}

TEST_F(ProductionEntryTest, CodesUnknownWhenTheirBookIsMissing)
{
    Table closed;
    const ProductionEntryCheck c = checkProductionEntry(m_entry.currentRow(), closed, closed);
    EXPECT_TRUE(c.kindUnknown);
    EXPECT_TRUE(c.regionUnknown);
    EXPECT_FALSE(referenceHasCode(m_regions, QStringLiteral("0")));
    EXPECT_TRUE(referenceHasCode(m_regions, QStringLiteral("71")));
}

TEST(ProductionEntryCopy, KeepsHiddenFieldsAndNulls)
{
    Table copy;
    copy.createEmpty(refBookFields(RefBook::ProductionReference));
    copy.append();
    copy.setString(u"region_code", QStringLiteral("50"));
    Table source;
    source.createEmpty(refBookFields(RefBook::ProductionReference));
    source.append();
    source.setString(u"production_name", QStringLiteral("Коньяк"));
    source.setString(u"alcohol", QStringLiteral("40,00"));
    source.setString(u"production_number", QStringLiteral("март 2012"));
    source.post();
    copyProductionEntry(source.currentRow(), copy);
    EXPECT_EQ(copy.asString(u"production_name"), QStringLiteral("Коньяк"));
    EXPECT_EQ(copy.asString(u"production_number"), QStringLiteral("март 2012"));
    EXPECT_DOUBLE_EQ(copy.asFloat(u"alcohol"), 40.0);
    EXPECT_TRUE(copy.isNull(u"region_code")); // the source has none
}

TEST(RefBookEntry, EditTouchesTheRowTheWindowShowsAtThatPosition)
{
    TempDir dir;
    // File order differs from name order: the window's second row is "Берёза", the file's second "Альфа".
    const QString file = writeBook(dir, QStringLiteral("supplier.xml"), RefBook::Supplier,
                                   {{{QStringLiteral("name"), QStringLiteral("Яблоко")}},
                                    {{QStringLiteral("name"), QStringLiteral("Альфа")}},
                                    {{QStringLiteral("name"), QStringLiteral("Берёза")}}});
    Table window;
    ASSERT_TRUE(openRefBook(window, file, RefBook::Supplier).isEmpty());
    window.setRecNo(2);
    ASSERT_EQ(window.asString(u"name"), QStringLiteral("Берёза"));

    Table entry;
    beginEntry(entry, file, RefBook::Supplier, EntryMode::Edit, window.recNo());
    EXPECT_EQ(entry.state(), Table::State::Edit);
    EXPECT_EQ(entry.asString(u"name"), QStringLiteral("Берёза"));
    entry.setString(u"name", QStringLiteral("Ясень"));
    EXPECT_EQ(saveEntry(entry), 3); // moves to the end of the order
    reopenAt(window, 3);
    EXPECT_EQ(window.asString(u"name"), QStringLiteral("Ясень"));
    window.setRecNo(1);
    EXPECT_EQ(window.asString(u"name"), QStringLiteral("Альфа"));

    Table added;
    beginEntry(added, file, RefBook::Supplier, EntryMode::Add);
    added.setString(u"name", QStringLiteral("Бук"));
    EXPECT_EQ(saveEntry(added), 2);
    reopenAt(window, 2);
    EXPECT_EQ(window.recordCount(), 4);
    EXPECT_EQ(window.asString(u"name"), QStringLiteral("Бук"));

    Table stale;
    EXPECT_THROW(beginEntry(stale, file, RefBook::Supplier, EntryMode::Edit, 9), KalvorError);
}

TEST(RefBookEntry, DeletingTheLastRowLeavesNothingToEditOrDelete)
{
    TempDir dir;
    const QString file = writeBook(dir, QStringLiteral("department.xml"), RefBook::DepartmentCode,
                                   {{{QStringLiteral("code"), QStringLiteral("2")}, {QStringLiteral("address"), QStringLiteral("Б")}},
                                    {{QStringLiteral("code"), QStringLiteral("1")}, {QStringLiteral("address"), QStringLiteral("А")}}});
    Table book;
    ASSERT_TRUE(openRefBook(book, file, RefBook::DepartmentCode).isEmpty());
    EXPECT_EQ(book.asString(u"code"), QStringLiteral("1")); // ordered by code
    book.setRecNo(2);
    deleteCurrentEntry(book);
    EXPECT_EQ(book.recNo(), 1);
    EXPECT_TRUE(canEditOrDelete(book));
    deleteCurrentEntry(book);
    EXPECT_FALSE(canEditOrDelete(book));

    Table reread(file);
    reread.open();
    EXPECT_TRUE(reread.isEmpty());
}

TEST(RefBookFiles, MissingOrBrokenBookIsNamedAndLeftAlone)
{
    TempDir dir;
    const QString missing = dir.file(QStringLiteral("regions.xml"));
    Table regions;
    const QString message = openRefBook(regions, missing, RefBook::Regions);
    EXPECT_TRUE(message.contains(missing));
    EXPECT_TRUE(message.contains(QStringLiteral("«Регионы»")));
    EXPECT_FALSE(regions.isActive());

    const QString broken = dir.write(QStringLiteral("supplier.xml"), "not a data packet");
    Table suppliers;
    EXPECT_FALSE(openRefBook(suppliers, broken, RefBook::Supplier).isEmpty());
    EXPECT_FALSE(suppliers.isActive());
    // Adding must not replace a file the user may still rescue.
    createRefBookIfMissing(broken, RefBook::Supplier);
    EXPECT_EQ(test::readAll(broken), QByteArray("not a data packet"));
    Table entry;
    EXPECT_THROW(beginEntry(entry, broken, RefBook::Supplier, EntryMode::Add), KalvorError);

    // A user book that vanished is made anew by the first entry.
    const QString gone = dir.file(QStringLiteral("prodReference.xml"));
    Table product;
    beginEntry(product, gone, RefBook::ProductionReference, EntryMode::Add);
    product.setString(u"production_name", QStringLiteral("Водка"));
    saveEntry(product);
    Table reread;
    EXPECT_TRUE(openRefBook(reread, gone, RefBook::ProductionReference).isEmpty());
    EXPECT_EQ(reread.recordCount(), 1);
}
