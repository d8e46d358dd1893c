#include "ReportFiles.h"

#include "KalvorBuildInfo.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/ObjectsImport.h"
#include "store/FileCopy.h"
#include "store/Table.h"
#include "support/DatabaseWorkspace.h"
#include "support/DeclarationRows.h"
#include "support/SampleRequisites.h"

#include <QDir>

namespace kalvor::test {

using namespace kalvor::dbupload;

void writeReport(const QString &folder, const QString &stem, const QList<QByteArray> &rows,
                 const QString &requisitesInn)
{
    QDir().mkpath(folder);
    writeDeclaration(folder, stem + QStringLiteral(".xml"), rows);
    const QString kalvor = QDir(folder).filePath(stem + QStringLiteral("d.xml"));
    CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), kalvor);
    Table table(kalvor);
    table.open();
    table.append();
    // A 10-digit INN is kept as the filer typed it: the stem widens it with "00".
    const QString inn =
        requisitesInn.isEmpty() ? (stem.mid(10, 2) == u"00" ? stem.left(10) : stem.left(12)) : requisitesInn;
    writeRequisitesEntry(table, sampleRequisites(inn));
    table.post();
    table.saveToFile();
}

QByteArray keyOf(const QString &stem, int invoice, int position, int transfer)
{
    return stem.toLatin1() + QByteArray::number(invoice).rightJustified(6, '0') +
           QByteArray::number(position).rightJustified(6, '0') + QByteArray::number(transfer).rightJustified(2, '0');
}

QByteArray rowOf(const QString &stem, int invoice, int position, int transfer, const QByteArray &more)
{
    QByteArray attributes = "dkey=\"" + keyOf(stem, invoice, position, transfer) + "\"";
    if (!more.isEmpty())
        attributes += ' ' + more;
    return attributes;
}

namespace {

const QString A3 = QStringLiteral("710701234500120300"); // INN 7107012345, March 2012
const QString A2 = QStringLiteral("710701234500120200"); // the same filer, February
const QString B4 = QStringLiteral("771234567890120400"); // INN 771234567890, April 2012

} // namespace

void uploadReport(const DatabaseWorkspace &ws, const QString &stem, const QList<QByteArray> &rows)
{
    const QString folder = ws.dir.file(QStringLiteral("in/") + stem);
    writeReport(folder, stem, rows);
    const DeclarationUploadPlan plan{ws.curDir(),
                                     DatabaseWorkspace::shareDir(),
                                     QDir(folder).filePath(stem + QStringLiteral(".xml")),
                                     QDir(folder).filePath(stem + QStringLiteral("d.xml")),
                                     {stem.mid(12, 2).toInt(), stem.mid(14, 2).toInt()}};
    uploadDeclaration(plan);
}

// Two filers, three months: invoices with positions and a transfer, an import (no region), sales in
// registered and unregistered subdivisions, a vodka priced exactly at the limit, volumes that cancel out.
void loadKnownData(const DatabaseWorkspace &ws)
{
    uploadReport(
        ws, A3,
        {rowOf(A3, 1, 0, 0,
               "supply_name=\"ООО Поставщик\" ttn_numer=\"Т-1\" ttn_date=\"20120305\" department_code=\"1\""),
         rowOf(A3, 1, 1, 0,
               "ttn_numer=\"Т-1\" ttn_date=\"20120305\" production_name=\"Водка Тест\" production_code=\"1\" "
               "producer_name=\"Завод А\" region_code=\"71\" department_code=\"1\" package_volume=\"0.500\" "
               "package_count=\"10\" volume=\"5.000\" sum_coming=\"1.250\" rest_volume=\"2.000\" "
               "package_count_charges=\"8\" volume_charges=\"4.000\" markup=\"50.00\" sum_charges=\"0.400\" "
               "return_volume_charges=\"0.100\" writeoff_volume_charges=\"0.200\" other_charges=\"1.000\" "
               "rest=\"1.700\""),
         rowOf(A3, 1, 1, 1,
               "production_name=\"Водка Тест\" production_code=\"1\" producer_name=\"Завод А\" department_code=\"2\" "
               "department_code_inner=\"1\" other_coming=\"1.000\" volume_charges=\"0.500\" sum_charges=\"0.060\" "
               "markup=\"60.00\" package_volume=\"0.500\" rest=\"0.500\""),
         rowOf(A3, 1, 2, 0,
               "production_name=\"Коньяк Тест\" production_code=\"3\" producer_name=\"Hennessy\" department_code=\"1\" "
               "package_volume=\"0.750\" volume=\"2.250\" sum_coming=\"3.333\" volume_charges=\"0.750\" "
               "sum_charges=\"0.900\" markup=\"900.00\" rest=\"1.500\""),
         rowOf(A3, 2, 0, 0, "supply_name=\"ИП Иванов\" department_code=\"1\""),
         rowOf(A3, 2, 1, 0,
               "production_name=\"Водка Тест\" production_code=\"1\" producer_name=\"Завод А\" region_code=\"71\" "
               "department_code=\"3\" package_volume=\"0.500\" volume=\"1.500\" sum_coming=\"0.300\" "
               "markup=\"60.00\" volume_charges=\"1.000\" sum_charges=\"0.060\""),
         rowOf(A3, 2, 2, 0,
               "production_name=\"Водка Тест\" production_code=\"1\" producer_name=\"Завод А\" region_code=\"71\" "
               "department_code=\"3\" package_volume=\"0.300\" volume=\"0.300\" sum_coming=\"0.005\" "
               "markup=\"31.20\" volume_charges=\"0.300\" sum_charges=\"0.010\""),
         rowOf(A3, 3, 0, 0, "supply_name=\"Возвраты\""),
         rowOf(A3, 3, 1, 0, "production_code=\"5\" region_code=\"50\" volume=\"0.100\" sum_coming=\"0.010\""),
         rowOf(A3, 3, 2, 0, "production_code=\"5\" region_code=\"50\" volume=\"0.200\" sum_coming=\"0.020\""),
         rowOf(A3, 3, 3, 0, "production_code=\"5\" region_code=\"50\" volume=\"-0.300\" sum_coming=\"-0.030\"")});
    uploadReport(ws, A2,
                 {rowOf(A2, 1, 0, 0, "supply_name=\"ООО Поставщик\""),
                  rowOf(A2, 1, 1, 0,
                        "production_code=\"1\" region_code=\"71\" volume=\"100.000\" sum_coming=\"10.000\" "
                        "volume_charges=\"50.000\" sum_charges=\"5.000\"")});
    uploadReport(
        ws, B4,
        {rowOf(B4, 1, 0, 0, "supply_name=\"ЗАО Б\""),
         rowOf(B4, 1, 1, 0,
               "production_name=\"Водка Б\" production_code=\"1\" producer_name=\"Завод Б\" region_code=\"50\" "
               "department_code=\"1\" package_volume=\"1.000\" volume=\"10.000\" sum_coming=\"2.000\" "
               "volume_charges=\"10.000\" sum_charges=\"1.000\" markup=\"100.00\" rest=\"0.000\"")});
    const QString objects = ws.dir.write(QStringLiteral("objects.csv"),
                                         "INN;Kod_object;Date_object;Kod_raion;Status;Date_priost;Date_save\n"
                                         "7107012345;1;01.01.2010;Тула;0;;\n"
                                         "7107012345;2;2012-03-15;Алексин;0;;\n"
                                         "7107012345;4;01.05.2012;Тула;0;;\n"
                                         "7107012345;5;01.01.2010;Тула;1;31.01.2012;\n"
                                         "7107012345;6;;Тула;1;10.04.2012;\n"
                                         "771234567890;1;;Новомосковск;0;;01.02.2012\n");
    importObjects(ws.curDir(), DatabaseWorkspace::shareDir(), objects);
}

} // namespace kalvor::test
