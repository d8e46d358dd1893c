#include "SheetWorkspace.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QProcess>
#include <QUrl>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::sheets;
using namespace kalvor::test;

namespace {

// Fields of one CSV line as LibreOffice writes them: comma-separated, quoted when needed.
QStringList csvFields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields.append(field);
            field.clear();
        } else {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}

} // namespace

// A real LibreOffice, with a profile of its own set to the Russian locale, opens the workbook and shows
// every cell as the layout means it to be shown.
TEST(OfficeSuite, LibreOfficeShowsTheWrittenDeclarationCellForCell)
{
    const SheetWorkspace ws(
        {invoiceRow(1, "ООО &quot;Поставщик, и сыновья&quot;"),
         positionRow(1, 1, 0,
                     "production_name=\"Водка\" production_code=\"1\" region_code=\"0\" "
                     "volume=\"5.125\" purches_price=\"150.50\" rest=\"-2.000\""),
         positionRow(1, 1, 1, "production_name=\"Водка\" production_code=\"1\" other_coming=\"1.000\""),
         invoiceRow(2, "ИП Второй"),
         positionRow(2, 1, 0, "production_name=\"Коньяк\" production_code=\"3\" volume=\"0.500\"")});
    const SheetLayout sheet = ws.writtenDeclaration();
    const QString workbook = ws.dir.file(QStringLiteral("declaration.xlsx"));

    const QString profile = ws.dir.file(QStringLiteral("office-profile"));
    QDir().mkpath(profile + QStringLiteral("/user"));
    ws.dir.write(
        QStringLiteral("office-profile/user/registrymodifications.xcu"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">"
        "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\">"
        "<value>ru-RU</value></prop></item></oor:items>");
    QProcess office;
    office.start(QStringLiteral("soffice"),
                 {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                  QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"), QStringLiteral("--outdir"), ws.dir.path(),
                  workbook});
    ASSERT_TRUE(office.waitForStarted(30000))
        << "LibreOffice (soffice) is missing: scripts/install-deps.sh installs it";
    ASSERT_TRUE(office.waitForFinished(180000));
    const QStringList lines = textFileLines(ws.dir.file(QStringLiteral("declaration.csv")));
    ASSERT_GE(lines.size(), 32) << office.readAllStandardError().toStdString();

    int compared = 0;
    for (int row = 1; row <= sheet.rowCount(); ++row) {
        const QStringList fields = row <= lines.size() ? csvFields(lines[row - 1]) : QStringList();
        for (int column = 1; column <= 33; ++column) {
            const QString shown = fields.value(column - 1);
            EXPECT_EQ(shown, sheet.displayText(row, column)) << "row " << row << " column " << column;
            compared += shown.isEmpty() ? 0 : 1;
        }
    }
    EXPECT_GT(compared, 150);
}
