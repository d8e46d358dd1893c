#pragma once

#include <QString>
#include <QUrl>

namespace kalvor {

// The subject that identifies the filer: "kalvor_" + version + INN + "_" + name + "_", each blank of
// the name turned into "_". The version and the INN stand together, as the authority sorts by them.
QString declarationMailSubject(const QString &version, const QString &inn, const QString &name);

// mailto: for the declaration: display name "Декларирование_Алкоголь" in double quotes, the address
// in angle brackets, the subject above. Everything outside the unreserved characters is
// percent-encoded, so a name with "&", "#" or quotes reaches the mail program whole.
QUrl declarationMailLink(const QString &address, const QString &version, const QString &inn, const QString &name);

// mailto: the support address with the subject "kalvor".
QUrl supportMailLink(const QString &address);

// Captions of the two mail items of the main window.
QString contractMailCaption(const QString &address);
QString nonContractMailCaption(const QString &address);

// The three documents of the "Помощь" menu, in the workspace's "doc" folder.
enum class HelpDocument { UserGuide, DeclarationProcedure, Amendment };

// Exactly one of the two is set: the document's full path when the file exists, else the message
// naming the missing file.
struct HelpDocumentLookup {
    QString path;
    QString missingMessage;
};

// The plain file name ("Kalvor_User_Guide_Ru_2_0.doc", ...).
QString helpDocumentFileName(HelpDocument document);
HelpDocumentLookup findHelpDocument(const QString &curDir, HelpDocument document);

} // namespace kalvor
