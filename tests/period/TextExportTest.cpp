#include "period/TextExport.h"
#include "app/DisplayText.h"
#include "app/TAppSettings.h"
#include "period/ErrorDeletion.h"
#include "period/ErrorLog.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

struct Workspace {
    explicit Workspace(const QList<QByteArray> &rows)
    {
        settings.SetcurDir(dir.path() + u'/');
        settings.SetDeclarationFileName(writeDeclaration(dir.path(), QStringLiteral("d.xml"), rows));
    }
    QStringList lines(const char *name) const { return textFileLines(dir.file(QString::fromLatin1(name))); }
    TempDir dir;
    TAppSettings settings;
};

QByteArray invoice(int number, const QByteArray &supplier, int transfer = 0)
{
    return "dkey=\"" + declarationKey(number, 0, transfer) + "\" supply_name=\"" + supplier +
           "\" license=\"Б 777\" license_date=\"20111231\" ttn_numer=\"Н-" + QByteArray::number(number) +
           "\" ttn_date=\"20120305\" loading_address=\"г. Тула, ул. Ленина, 1\"";
}

QByteArray position(int invoice, int number, const QByteArray &ttn, int transfer = 0)
{
    return "dkey=\"" + declarationKey(invoice, number, transfer) + "\" ttn_numer=\"" + ttn +
           "\" production_name=\"Водка &quot;Тула&quot;\" production_code=\"200\" region_code=\"71\" "
           "department_code=\"710701234501\" alcohol=\"40.00\" package_volume=\"0.500\" package_count=\"10\" "
           "volume=\"5.000\" purches_price=\"150.50\" sum_coming=\"1.505\" rest_volume=\"0.000\" "
           "volume_charges=\"3.000\" rest=\"2.000\"";
}

} // namespace

TEST(TextExport, PositionsCarryTheirInvoiceDataAndTheirOwnWaybill)
{
    Workspace ws({invoice(1, "ООО Первый"), invoice(3, "ЗАО &quot;Третий&quot;"), position(3, 1, "собственный-7"),
                  position(1, 1, "П-1")});
    const TextExportResult r = exportText(ws.settings);
    EXPECT_EQ(r.message, QStringLiteral("Данные выгружены:  ( см. файл data.txt)"));
    EXPECT_EQ(r.lines, 2);
    EXPECT_EQ(r.unlinked, 0);

    const QStringList lines = ws.lines("data.txt");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], exportLogHeader());
    EXPECT_EQ(lines[1], QString::fromLatin1(declarationKey(3, 1)) +
                            QStringLiteral("|ЗАО \"Третий\"|Б 777|31.12.2011|собственный-7|05.03.2012|г. Тула, ул. "
                                           "Ленина, 1|Водка \"Тула\"||200||71|710701234501||||40,00|0,500|10|5,000|"
                                           "150,50|1,505|0,000||3,000|||||||2,000"));
    EXPECT_TRUE(lines[2].startsWith(QString::fromLatin1(declarationKey(1, 1)) + QStringLiteral("|ООО Первый|")));
    for (const QString &line : lines)
        EXPECT_EQ(line.split(u'|').size(), 32) << line.toStdString();
    EXPECT_EQ(ws.lines("error.log"), QStringList{exportLogHeader()});
}

TEST(TextExport, EveryOwnFieldReadsAsTheGridShowsIt)
{
    Workspace ws({invoice(2, "ИП Иванов"), position(2, 1, "12") + " production_number=\"0001\" markup=\"1.5\" "
                                                                  "return_volume=\"-0.250\" other_charges=\"7\""});
    exportText(ws.settings);
    const QStringList fields = ws.lines("data.txt").value(1).split(u'|');
    ASSERT_EQ(fields.size(), 32);

    Table table(ws.settings.FDeclarationFileName);
    table.open();
    table.last();
    const RowView row = table.currentRow();
    // Fields 1 and 5 and 8-32 are the row's own (the others come from the invoice).
    EXPECT_EQ(fields[0], displayText(row, row.fieldIndex(u"dkey")));
    EXPECT_EQ(fields[4], displayText(row, row.fieldIndex(u"ttn_numer")));
    const char *const rest[] = {"production_name",
                                "production_number",
                                "production_code",
                                "producer_name",
                                "region_code",
                                "department_code",
                                "return_volume",
                                "other_coming",
                                "department_code_inner",
                                "alcohol",
                                "package_volume",
                                "package_count",
                                "volume",
                                "purches_price",
                                "sum_coming",
                                "rest_volume",
                                "package_count_charges",
                                "volume_charges",
                                "markup",
                                "sum_charges",
                                "return_volume_charges",
                                "writeoff_volume_charges",
                                "other_charges",
                                "department_code_inner_charges",
                                "rest"};
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(fields[7 + i], displayText(row, row.fieldIndex(QString::fromLatin1(rest[i])))) << rest[i];
    EXPECT_EQ(fields[13], QStringLiteral("-0,250"));
    EXPECT_EQ(fields[25], QStringLiteral("1,5"));
}

TEST(TextExport, TransfersGetLinesAndUnlinkedRowsGoToTheLog)
{
    Workspace ws({invoice(1, "ООО Первый"), position(1, 1, "П-1"), position(1, 1, "П-1", 1),
                  position(4, 1, "Без-накладной/4"), position(4, 1, "Без-накладной/4", 1), position(1, 2, "П-2")});
    const TextExportResult r = exportText(ws.settings);
    EXPECT_EQ(r.lines, 3);
    EXPECT_EQ(r.unlinked, 2);
    const QStringList data = ws.lines("data.txt");
    ASSERT_EQ(data.size(), 4);
    EXPECT_TRUE(data[2].startsWith(QString::fromLatin1(declarationKey(1, 1, 1)) + u'|'));
    EXPECT_TRUE(data[3].startsWith(QString::fromLatin1(declarationKey(1, 2)) + u'|'));
    EXPECT_EQ(ws.lines("error.log"),
              (QStringList{exportLogHeader(), QStringLiteral("Не выгрузилось ттн №: Без-накладной/4"),
                           QStringLiteral("Не выгрузилось ттн №: Без-накладной/4")}));
    // The error deletion reads back exactly those waybills.
    EXPECT_EQ(waybillsToDelete(ws.settings.FcurDir),
              (QStringList{QStringLiteral("Без-накладной/4"), QStringLiteral("Без-накладной/4")}));
}

TEST(TextExport, EqualInvoicePrefixesGiveALineForEach)
{
    // The second invoice row differs only in its transfer digits: both share the first 24 key characters.
    Workspace ws({invoice(5, "Первый"), position(5, 1, "А"), invoice(5, "Второй", 1), position(5, 2, "Б")});
    const TextExportResult r = exportText(ws.settings);
    EXPECT_EQ(r.lines, 4);
    QStringList suppliers;
    for (const QString &line : ws.lines("data.txt").mid(1))
        suppliers.append(line.section(u'|', 4, 4) + u'/' + line.section(u'|', 1, 1));
    EXPECT_EQ(suppliers, (QStringList{QStringLiteral("А/Первый"), QStringLiteral("А/Второй"),
                                      QStringLiteral("Б/Первый"), QStringLiteral("Б/Второй")}));
}

TEST(TextExport, InvoicesAloneGiveTheHeadersAlone)
{
    Workspace ws({invoice(1, "Первый"), invoice(2, "Второй")});
    ws.dir.write(QStringLiteral("data.txt"), "old\n");
    ws.dir.write(QStringLiteral("error.log"), "old\n");
    const TextExportResult r = exportText(ws.settings);
    EXPECT_EQ(r.lines, 0);
    EXPECT_EQ(ws.lines("data.txt"), QStringList{exportLogHeader()});
    EXPECT_EQ(ws.lines("error.log"), QStringList{exportLogHeader()});
}

TEST(TextExport, ManyInvoicesAreAllFound)
{
    QList<QByteArray> rows;
    for (int i = 1; i <= 12'010; ++i)
        rows.append(invoice(i, "П"));
    rows.append(position(12'010, 1, "последний"));
    rows.append(position(1, 1, "первый"));
    Workspace ws(rows);
    const TextExportResult r = exportText(ws.settings);
    EXPECT_EQ(r.lines, 2);
    EXPECT_EQ(r.unlinked, 0);
}

TEST(TextExport, AnUnreadableDeclarationIsReportedAndChangesNothing)
{
    Workspace ws({});
    ws.dir.write(QStringLiteral("data.txt"), "old data\n");
    ws.dir.write(QStringLiteral("error.log"), "old log\n");
    ws.dir.write(QStringLiteral("broken.xml"), "<?xml version=\"1.0\"?><DATAPACKET><METADATA>");
    ws.settings.SetDeclarationFileName(ws.dir.file(QStringLiteral("broken.xml")));
    try {
        exportText(ws.settings);
        ADD_FAILURE() << "a broken declaration must be reported";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("broken.xml"))) << e.what();
    }
    EXPECT_EQ(ws.lines("data.txt"), QStringList{QStringLiteral("old data")});
    EXPECT_EQ(ws.lines("error.log"), QStringList{QStringLiteral("old log")});
}
