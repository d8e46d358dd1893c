#include "SheetWorkspace.h"

#include "store/FileCopy.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/SampleRequisites.h"

#include "KalvorBuildInfo.h"

#include <QDir>

namespace kalvor::test {

SheetWorkspace::SheetWorkspace(const QList<QByteArray> &rows)
{
    const QDir root(dir.path());
    for (const char *folder : {"templates", "reports/201203", "temp"})
        root.mkpath(QString::fromLatin1(folder));
    for (const char *name : {"tamrel.xlsx", "tamrelError.xlsx"})
        CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/") + QString::fromLatin1(name),
                          root.filePath(QStringLiteral("templates/") + QString::fromLatin1(name)));
    const QString kinds =
        dir.write(QStringLiteral("reports/production.xml"),
                  "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA>"
                  "<FIELDS><FIELD attrname=\"code\" fieldtype=\"i2\"/><FIELD attrname=\"name\" fieldtype=\"string\" "
                  "WIDTH=\"100\"/></FIELDS><PARAMS/></METADATA><ROWDATA><ROW code=\"1\" name=\"Водка\"/>"
                  "<ROW code=\"3\" name=\"Коньяк\"/><ROW code=\"7\" name=\"Вино\"/></ROWDATA></DATAPACKET>");

    const QString requisites = root.filePath(QStringLiteral("reports/201203/710701234500120300d.xml"));
    {
        Table table(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"));
        table.open();
        table.append();
        writeRequisitesEntry(table, sampleRequisites(QStringLiteral("7107012345")));
        table.post();
        table.saveToFile(requisites);
    }
    settings.SetcurDir(dir.path() + u'/');
    settings.SetPeriodString(QStringLiteral("201203"));
    settings.SetPeriodYear(12);
    settings.SetPeriodMonth(3);
    settings.SetINNYYMMCC(QStringLiteral("710701234500120300"));
    settings.SetKalvorFileName(requisites);
    settings.SetProductionFileName(kinds);
    settings.SetIniFile(IniFile(dir.file(QStringLiteral("tamrel.ini"))));
    settings.SetDeclarationFileName(writeDeclaration(root.filePath(QStringLiteral("reports/201203")),
                                                     QStringLiteral("710701234500120300.xml"), rows));
}

sheets::SheetExportPlan SheetWorkspace::plan(const char *templateName) const
{
    return sheets::planSheetExport(settings, QString::fromLatin1(templateName));
}

sheets::SheetLayout SheetWorkspace::writtenDeclaration(QStringList *missingLines) const
{
    const sheets::SheetExportPlan p = plan(sheets::kDeclarationTemplate);
    const sheets::XlsxWorkbook book = sheets::XlsxWorkbook::open(p.templateFile);
    const sheets::DeclarationSheet laidOut = sheets::exportDeclaration(p, book, [missingLines](const QString &line) {
        if (missingLines)
            missingLines->append(line);
    });
    const QString out = dir.file(QStringLiteral("declaration.xlsx"));
    book.save(laidOut.sheet, out);
    return sheets::XlsxWorkbook::open(out).sheet();
}

QByteArray invoiceRow(int invoice, const QByteArray &supplier, const QByteArray &more, const QByteArray &waybillDate)
{
    return "dkey=\"" + declarationKey(invoice) + "\" supply_name=\"" + supplier +
           "\" license=\"Б 777\" license_date=\"20111231\" ttn_numer=\"00" + QByteArray::number(invoice) +
           "\" ttn_date=\"" + waybillDate + "\" loading_address=\"г. Тула\" " + more;
}

QByteArray positionRow(int invoice, int position, int transfer, const QByteArray &more)
{
    return "dkey=\"" + declarationKey(invoice, position, transfer) + "\" ttn_numer=\"Н-" + QByteArray::number(invoice) +
           "\" " + more;
}

} // namespace kalvor::test
