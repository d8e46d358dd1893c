#include "app/MailLink.h"

#include <QDir>
#include <QFileInfo>

namespace kalvor {
namespace {

QUrl mailLink(const QString &recipient, const QString &subject)
{
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    url.setPath(recipient, QUrl::DecodedMode);
    // Encoded by hand: QUrlQuery would leave "&", "+" and "=" of a filer's name as they are.
    url.setQuery(QStringLiteral("Subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject)),
                 QUrl::StrictMode);
    return url;
}

} // namespace

QString declarationMailSubject(const QString &version, const QString &inn, const QString &name)
{
    QString underscored = name;
    underscored.replace(u' ', u'_');
    return QStringLiteral("kalvor_") + version + inn + u'_' + underscored + u'_';
}

QUrl declarationMailLink(const QString &address, const QString &version, const QString &inn, const QString &name)
{
    return mailLink(QStringLiteral("\"Декларирование_Алкоголь\"<") + address + u'>',
                    declarationMailSubject(version, inn, name));
}

QUrl supportMailLink(const QString &address)
{
    return mailLink(address, QStringLiteral("kalvor"));
}

QString contractMailCaption(const QString &address)
{
    return address + QStringLiteral(" (договорные)");
}

QString nonContractMailCaption(const QString &address)
{
    return address + QStringLiteral(" (бездоговорные)");
}

QString helpDocumentFileName(HelpDocument document)
{
    switch (document) {
    case HelpDocument::UserGuide:
        return QStringLiteral("Kalvor_User_Guide_Ru_2_0.doc");
    case HelpDocument::DeclarationProcedure:
        return QStringLiteral("Порядок декларирования.doc");
    case HelpDocument::Amendment:
        return QStringLiteral("Постановление о внес. изм..doc");
    }
    return {};
}

HelpDocumentLookup findHelpDocument(const QString &curDir, HelpDocument document)
{
    const QString name = helpDocumentFileName(document);
    const QString path = QDir(curDir).filePath(QStringLiteral("doc/") + name);
    if (QFileInfo(path).isFile())
        return {path, {}};
    return {{}, QStringLiteral("Файл \"") + name + QStringLiteral("\" не найден!")};
}

} // namespace kalvor
