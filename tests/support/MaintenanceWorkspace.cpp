#include "support/MaintenanceWorkspace.h"

#include "KalvorBuildInfo.h"
#include "store/FileCopy.h"
#include "store/Table.h"
#include "support/DeclarationRows.h"

#include <QDir>

namespace kalvor::test {

MaintenanceWorkspace::MaintenanceWorkspace(const QList<QByteArray> &rows)
{
    QDir().mkpath(dir.file(QStringLiteral("templates/xml")));
    QDir().mkpath(dir.file(QStringLiteral("reports/201203")));
    CopyFileReplacing(QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/templates/xml/declaration.xml"),
                      dir.file(QStringLiteral("templates/xml/declaration.xml")));
    settings.SetcurDir(dir.path() + u'/');
    settings.SetPeriodString(QStringLiteral("201203"));
    settings.SetPeriodYear(12);
    settings.SetPeriodMonth(3);
    settings.SetINNYYMMCC(QStringLiteral("710701234500120300"));
    settings.SetIniFile(IniFile(dir.file(QStringLiteral("tamrel.ini"))));
    settings.SetDeclarationFileName(
        writeDeclaration(dir.file(QStringLiteral("reports/201203")), QStringLiteral("710701234500120300.xml"), rows));
}

QStringList MaintenanceWorkspace::column(const char *field) const
{
    Table table(declaration());
    table.open();
    table.setIndexFieldNames(QStringLiteral("dkey"));
    QStringList out;
    for (table.first(); !table.eof(); table.next())
        out.append(table.asString(u"dkey").mid(18) + u'=' + table.asString(QString::fromLatin1(field)));
    return out;
}

QByteArray row(int invoice, int position, int transfer, const QByteArray &more)
{
    QByteArray attributes = "dkey=\"" + declarationKey(invoice, position, transfer) + "\"";
    if (!more.isEmpty())
        attributes += ' ' + more;
    return attributes;
}

} // namespace kalvor::test
