#include "period/ErrorLog.h"
#include "period/ErrorDeletion.h"
#include "period/SortArray.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

QString logText(const TempDir &dir)
{
    return QString::fromUtf8(readAll(dir.file(QStringLiteral("error.log"))));
}

} // namespace

TEST(ErrorLog, StartsAfreshWithTheExportHeaderAndOneLinePerCall)
{
    TempDir dir;
    dir.write(QStringLiteral("error.log"), "left from an earlier run\n");
    ErrorLogFile log;
    ErrorLogFileOpen(log, dir.path() + u'/');
    EXPECT_TRUE(log.isOpen());
    ErrorLogFileSaveTo(log, QStringLiteral("Не выгрузилось ттн №: А-1"));
    ErrorLogFileSaveTo(log, QString());
    ErrorLogFileClose(log);
    EXPECT_FALSE(log.isOpen());

    const QString header = QStringLiteral(
        "dkey|поставщик|лицензия поставщика|дата лицензия поставщика|номер накладной поставщика|дата накладной "
        "поставщика|адрес погрузки|наименование продукции|дата розлива|вид продукции|производитель|регион|"
        "подразделение (куда приход)|возврат покупателя, л.|прочий приход, л.|подразделение (внутр. приход)|% "
        "спирта|емкость тары, л.|кол-во тары, шт.|объем (приход), л.|цена закупки, руб.|сумма закупки, тыс.руб.|"
        "наличие на начало месяца, л.|кол-во тары, шт.|объем (расход), л.|цена продажи, руб.|сумма продажи, "
        "тыс.руб.|возврат поставщику, л.|списание, л.|внутр. перемещ. (расход)|подразделение (вн. перемещ. "
        "расход)|остаток на конец периода, л.");
    EXPECT_EQ(header.split(u'|').size(), 32);
    EXPECT_EQ(exportLogHeader(), header);
    EXPECT_EQ(logText(dir), header + QStringLiteral("\nНе выгрузилось ттн №: А-1\n\n"));
}

TEST(ErrorLog, ReplacesThePreviousLogOnlyWhenClosed)
{
    TempDir dir;
    dir.write(QStringLiteral("error.log"), "good old log\n");
    {
        ErrorLogFile log;
        ErrorLogFileOpen(log, dir.path());
        ErrorLogFileSaveTo(log, QStringLiteral("new line"));
        // A run that dies here must not leave a half-written log instead of the old one.
        EXPECT_EQ(logText(dir), QStringLiteral("good old log\n"));
    } // a log still open is closed with its owner
    EXPECT_TRUE(logText(dir).endsWith(QStringLiteral("\nnew line\n")));

    // Opening twice finishes the first log; the second starts afresh.
    ErrorLogFile log;
    ErrorLogFileOpen(log, dir.path());
    ErrorLogFileSaveTo(log, QStringLiteral("first"));
    openErrorLog(log, dir.path(), QStringLiteral("own header"));
    ErrorLogFileSaveTo(log, QStringLiteral("second"));
    ErrorLogFileClose(log);
    ErrorLogFileClose(log); // closing twice is harmless
    EXPECT_EQ(logText(dir), QStringLiteral("own header\nsecond\n"));
}

TEST(ErrorLog, AFolderThatCannotHoldTheLogIsNotReported)
{
    TempDir dir;
    const QString missing = dir.file(QStringLiteral("no/such/folder"));
    ErrorLogFile log;
    EXPECT_NO_THROW(ErrorLogFileOpen(log, missing));
    EXPECT_FALSE(log.isOpen());
    EXPECT_FALSE(openErrorLog(log, missing, QStringLiteral("h")));
    EXPECT_NO_THROW(ErrorLogFileSaveTo(log, QStringLiteral("lost")));
    EXPECT_NO_THROW(ErrorLogFileClose(log));
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST(SortArray, SortsAscendingInPlace)
{
    std::vector<qint32> list{3, 1, 2};
    SortArray(list);
    EXPECT_EQ(list, (std::vector<qint32>{1, 2, 3}));
    std::vector<qint32> empty;
    SortArray(empty);
    EXPECT_TRUE(empty.empty());
    std::vector<qint32> mixed{5, -7, 5, 0, 2147483647, -2147483647 - 1};
    SortArray(mixed);
    EXPECT_EQ(mixed, (std::vector<qint32>{-2147483647 - 1, -7, 0, 5, 5, 2147483647}));
}

TEST(ErrorDeletion, ListsTheWaybillsOfUnlinkedRows)
{
    TempDir dir;
    dir.write(QStringLiteral("error.log"), exportLogHeader().toUtf8() + "\n"
                                                                        "Не выгрузилось ттн №: 12/А\r\n"
                                                                        "some other finding\n"
                                                                        "Не выгрузилось ттн №: \n"
                                                                        "xx Не выгрузилось ттн №: 77\n"
                                                                        "Не выгрузилось ттн №:  with blanks \n");
    // The number is the line less its first 22 characters, wherever the text stands in it.
    EXPECT_EQ(waybillsToDelete(dir.path()), (QStringList{QStringLiteral("12/А"), QString(), QStringLiteral("№: 77"),
                                                         QStringLiteral(" with blanks ")}));

    // A log from a Windows machine reads the same.
    dir.write(QStringLiteral("error.log"), ansi("Не выгрузилось ттн №: Б-5\r\n"));
    EXPECT_EQ(waybillsToDelete(dir.path()), QStringList{QStringLiteral("Б-5")});

    QFile::remove(dir.file(QStringLiteral("error.log")));
    EXPECT_TRUE(waybillsToDelete(dir.path()).isEmpty());
}

TEST(ErrorDeletion, ListsGrowPastTenThousand)
{
    TempDir dir;
    QByteArray log;
    for (int i = 0; i < 10'050; ++i)
        log += "Не выгрузилось ттн №: " + QByteArray::number(i) + '\n';
    dir.write(QStringLiteral("error.log"), log);
    const QStringList waybills = waybillsToDelete(dir.path());
    ASSERT_EQ(waybills.size(), 10'050);
    EXPECT_EQ(waybills.last(), QStringLiteral("10049"));
}

TEST(ErrorDeletion, DeletesExactlyTheListedWaybillsOfTheViewAndSaves)
{
    TempDir dir;
    const auto row = [](int invoice, int position, const char *ttn) {
        return "dkey=\"" + declarationKey(invoice, position) + "\" ttn_numer=\"" + QByteArray(ttn) + "\"";
    };
    const QString file = writeDeclaration(dir.path(), QStringLiteral("d.xml"),
                                          {row(1, 0, "12"), row(1, 1, "12"), row(1, 2, "123"), row(1, 3, "12"),
                                           row(1, 4, " 12"), row(2, 1, "12"), row(1, 5, "Б-5")});
    Table positions(file);
    positions.open();
    // The view shows the positions of invoice 1 only, as the main window does.
    const QString invoice1 = QString::fromLatin1(declarationKey(1));
    positions.setFilter([invoice1](const RowView &r) {
        const QString key = r.asString(r.fieldIndex(u"dkey"));
        return key.left(24) == invoice1.left(24) && key != invoice1;
    });
    positions.setFiltered(true);
    ASSERT_EQ(positions.recordCount(), 5);

    EXPECT_EQ(deleteListedPositions(positions, {QStringLiteral("12"), QStringLiteral("Б-5")}), 3);
    EXPECT_EQ(positions.recordCount(), 2);

    Table saved(file);
    saved.open();
    QStringList left;
    for (saved.first(); !saved.eof(); saved.next())
        left.append(saved.asString(u"dkey").mid(18, 12) + u'=' + saved.asString(u"ttn_numer"));
    // The invoice row and the other invoice's position stay although their waybill is listed.
    EXPECT_EQ(left, (QStringList{QStringLiteral("000001000000=12"), QStringLiteral("000001000002=123"),
                                 QStringLiteral("000001000004= 12"), QStringLiteral("000002000001=12")}));

    // Nothing listed, nothing to match: no save, nothing deleted.
    EXPECT_EQ(deleteListedPositions(positions, {}), 0);
    EXPECT_EQ(deleteListedPositions(positions, {QStringLiteral("404")}), 0);
    EXPECT_FALSE(positions.isModified());
}
