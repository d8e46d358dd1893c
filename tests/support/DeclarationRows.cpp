#include "support/DeclarationRows.h"

#include "support/PacketText.h"

#include "KalvorBuildInfo.h"

#include <QDir>
#include <QFile>

namespace kalvor::test {

QString writeDeclaration(const QString &folder, const QString &name, const QList<QByteArray> &rowAttributes)
{
    QFile templateFile(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/declaration.xml"));
    if (!templateFile.open(QIODevice::ReadOnly))
        qFatal("no declaration template");
    QByteArray packet = templateFile.readAll();
    QByteArray rows;
    for (const QByteArray &attributes : rowAttributes)
        rows += "<ROW RowState=\"4\" " + attributes + " />\r\n";
    // The template is an ANSI packet: the rows are given in UTF-8 and stored in Windows-1251.
    packet.replace("<ROWDATA>", "<ROWDATA>\r\n" + ansi(rows));
    const QString path = QDir(folder).filePath(name);
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(packet) != packet.size())
        qFatal("cannot write a declaration");
    return path;
}

void retypeColumn(const QString &fileName, const QByteArray &column, const QByteArray &definition)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite))
        qFatal("cannot open a declaration");
    QByteArray packet = file.readAll();
    const QByteArray head = "<FIELD attrname=\"" + column + "\" ";
    const qsizetype start = packet.indexOf(head);
    const qsizetype end = packet.indexOf("/>", start);
    if (start < 0 || end < 0)
        qFatal("no such column");
    packet.replace(start + head.size(), end - start - head.size(), definition + ' ');
    file.resize(0);
    file.seek(0);
    file.write(packet);
}

QByteArray declarationKey(int invoice, int position, int transfer)
{
    return "710701234500120300" + QByteArray::number(invoice).rightJustified(6, '0')
           + QByteArray::number(position).rightJustified(6, '0') + QByteArray::number(transfer).rightJustified(2, '0');
}

} // namespace kalvor::test
