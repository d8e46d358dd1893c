#include "ReportFiles.h"

#include "KalvorBuildInfo.h"
#include "store/FileCopy.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"
#include "support/SampleRequisites.h"

#include <QDir>

namespace kalvor::test {

void writeReport(const QString &folder, const QString &stem, const QList<QByteArray> &rows, const QString &requisitesInn)
{
    QDir().mkpath(folder);
    writeDeclaration(folder, stem + QStringLiteral(".xml"), rows);
    const QString kalvor = QDir(folder).filePath(stem + QStringLiteral("d.xml"));
    CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/kalvor.xml"), kalvor);
    Table table(kalvor);
    table.open();
    table.append();
    // A 10-digit INN is kept as the filer typed it: the stem widens it with "00".
    const QString inn = requisitesInn.isEmpty() ? (stem.mid(10, 2) == u"00" ? stem.left(10) : stem.left(12))
                                                : requisitesInn;
    writeRequisitesEntry(table, sampleRequisites(inn));
    table.post();
    table.saveToFile();
}

QByteArray keyOf(const QString &stem, int invoice, int position, int transfer)
{
    return stem.toLatin1() + QByteArray::number(invoice).rightJustified(6, '0')
           + QByteArray::number(position).rightJustified(6, '0') + QByteArray::number(transfer).rightJustified(2, '0');
}

QByteArray rowOf(const QString &stem, int invoice, int position, int transfer, const QByteArray &more)
{
    QByteArray attributes = "dkey=\"" + keyOf(stem, invoice, position, transfer) + "\"";
    if (!more.isEmpty())
        attributes += ' ' + more;
    return attributes;
}

} // namespace kalvor::test
