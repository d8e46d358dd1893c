#include "app/Deployment.h"
#include "app/IniFile.h"
#include "app/MailLink.h"

#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QUrlQuery>

#include <gtest/gtest.h>

namespace kalvor {
namespace {

QString shippedShareDir()
{
    return QStringLiteral(KALVOR_TEST_DATA_DIR "/../../share");
}

TEST(Deployment, ShippedFileMatchesTheBuiltInDefaults)
{
    // The defaults stand in for a missing file, so the two must not drift apart.
    const Deployment shipped = readDeployment(IniFile(shippedShareDir() + QStringLiteral("/kalvor.conf")));
    const Deployment defaults = defaultDeployment();
    EXPECT_EQ(shipped.updateHost, defaults.updateHost);
    EXPECT_EQ(shipped.updaterCommand, defaults.updaterCommand);
    EXPECT_EQ(shipped.contractMail, defaults.contractMail);
    EXPECT_EQ(shipped.nonContractMail, defaults.nonContractMail);
    EXPECT_EQ(shipped.supportMail, defaults.supportMail);
    EXPECT_EQ(shipped.productPage, defaults.productPage);
    EXPECT_EQ(shipped.developerPage, defaults.developerPage);
    EXPECT_EQ(shipped.ownerName, defaults.ownerName);
    EXPECT_EQ(shipped.developerName, defaults.developerName);
    EXPECT_EQ(shipped.consultationPhones, defaults.consultationPhones);
    EXPECT_EQ(updateNoticeUrl(shipped), defaults.updateHost + QStringLiteral("/data/update.txt"));
}

TEST(Deployment, WorkspaceCopyWinsAndMissingKeysKeepDefaults)
{
    test::TempDir workspace;
    test::TempDir share;
    share.write(QStringLiteral("kalvor.conf"), "[mail]\nsupport=share@x.example\n");
    EXPECT_EQ(loadDeployment(workspace.path() + u'/', share.path()).supportMail, QStringLiteral("share@x.example"));

    workspace.write(QStringLiteral("kalvor.conf"),
                    "; local\n[UPDATE]\nHost = http://local.example/ \n[mail]\nsupport=\ncontract=a@b.example\n");
    const Deployment d = loadDeployment(workspace.path() + u'/', share.path());
    EXPECT_EQ(d.updateHost, QStringLiteral("http://local.example"));
    EXPECT_EQ(updateNoticeUrl(d), QStringLiteral("http://local.example/data/update.txt"));
    EXPECT_EQ(d.contractMail, QStringLiteral("a@b.example"));
    // The share copy is not merged in: an empty key means the built-in value.
    EXPECT_EQ(d.supportMail, defaultDeployment().supportMail);

    test::TempDir empty;
    EXPECT_EQ(loadDeployment(empty.path(), QString()).updateHost, defaultDeployment().updateHost);
}

TEST(Deployment, UpdaterLiesBesideTheExecutableUnlessAbsolute)
{
    Deployment d = defaultDeployment();
    EXPECT_EQ(updaterProgram(d, QStringLiteral("/opt/kalvor/bin")), QStringLiteral("/opt/kalvor/bin/update"));
    d.updaterCommand = QStringLiteral("../libexec/kalvor-update");
    EXPECT_EQ(updaterProgram(d, QStringLiteral("/opt/kalvor/bin")), QStringLiteral("/opt/kalvor/libexec/kalvor-update"));
    d.updaterCommand = QStringLiteral("/usr/bin/kalvor-update");
    EXPECT_EQ(updaterProgram(d, QStringLiteral("/opt/kalvor/bin")), QStringLiteral("/usr/bin/kalvor-update"));
}

QString subjectOf(const QUrl &url)
{
    return QUrlQuery(url).queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded);
}

TEST(MailLink, SubjectNamesVersionInnAndNameWithBlanksAsUnderscores)
{
    EXPECT_EQ(declarationMailSubject(QStringLiteral("2.4.4"), QStringLiteral("1234567890"), QStringLiteral("ООО Ромашка плюс")),
              QStringLiteral("kalvor_2.4.41234567890_ООО_Ромашка_плюс_"));
    // One "_" for each blank, leading and trailing ones included.
    EXPECT_EQ(declarationMailSubject(QStringLiteral("1.0.0"), QStringLiteral("123456789012"), QStringLiteral(" ИП  Иванов   И.И. ")),
              QStringLiteral("kalvor_1.0.0123456789012__ИП__Иванов___И.И.__"));
    EXPECT_EQ(declarationMailSubject(QStringLiteral("1.0.0"), QStringLiteral("1"), QStringLiteral("Ромашка")),
              QStringLiteral("kalvor_1.0.01_Ромашка_"));
    EXPECT_EQ(declarationMailSubject(QString(), QString(), QString()), QStringLiteral("kalvor___"));
}

TEST(MailLink, DeclarationLinkIsAWellFormedMailto)
{
    const QUrl url = declarationMailLink(QStringLiteral("decl@authority.example"), QStringLiteral("2.4.4"),
                                         QStringLiteral("1234567890"), QStringLiteral("ООО Ромашка плюс"));
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(QUrl::fromPercentEncoding(url.toEncoded()),
              QStringLiteral("mailto:\"Декларирование_Алкоголь\"<decl@authority.example>?Subject=kalvor_2.4.41234567890_ООО_Ромашка_плюс_"));
    EXPECT_EQ(url.path(QUrl::FullyDecoded), QStringLiteral("\"Декларирование_Алкоголь\"<decl@authority.example>"));
    // What the desktop receives is plain ASCII.
    const QByteArray encoded = url.toEncoded();
    EXPECT_TRUE(encoded.startsWith("mailto:%22%D0%94%D0%B5"));
    EXPECT_TRUE(encoded.contains("%3Cdecl@authority.example%3E?Subject=kalvor_2.4.41234567890_%D0%9E%D0%9E%D0%9E_"));
    for (char c : encoded)
        EXPECT_TRUE(c > 32 && c < 127) << encoded.constData();
}

TEST(MailLink, NamesWithUrlCharactersSurviveWhole)
{
    // Quotes and ampersands are common in company names; none may cut or bend the subject.
    const QString name = QStringLiteral("ООО \"Вина & Коньяки\" #1 +100% a=b");
    const QUrl url = declarationMailLink(QStringLiteral("d@a.example"), QStringLiteral("1.0.0"), QStringLiteral("7"), name);
    EXPECT_EQ(subjectOf(url), declarationMailSubject(QStringLiteral("1.0.0"), QStringLiteral("7"), name));
    EXPECT_EQ(QUrlQuery(url).queryItems().size(), 1);
    EXPECT_TRUE(url.fragment().isEmpty());
    EXPECT_TRUE(url.toEncoded().contains("%26"));
    EXPECT_TRUE(url.toEncoded().contains("%2B100%25"));
}

TEST(MailLink, SupportLinkAndCaptions)
{
    const QUrl url = supportMailLink(QStringLiteral("support@kalvor.example"));
    EXPECT_EQ(url.toString(), QStringLiteral("mailto:support@kalvor.example?Subject=kalvor"));
    EXPECT_EQ(contractMailCaption(QStringLiteral("a@b.example")), QStringLiteral("a@b.example (договорные)"));
    EXPECT_EQ(nonContractMailCaption(QStringLiteral("a@b.example")), QStringLiteral("a@b.example (бездоговорные)"));
}

TEST(HelpDocuments, FoundInDocFolderOrNamedInTheMessage)
{
    test::TempDir workspace;
    const QString curDir = workspace.path() + u'/';
    const struct {
        HelpDocument document;
        QString message;
    } cases[] = {
        {HelpDocument::UserGuide, QStringLiteral("Файл \"Kalvor_User_Guide_Ru_2_0.doc\" не найден!")},
        {HelpDocument::DeclarationProcedure, QStringLiteral("Файл \"Порядок декларирования.doc\" не найден!")},
        {HelpDocument::Amendment, QStringLiteral("Файл \"Постановление о внес. изм..doc\" не найден!")},
    };
    for (const auto &c : cases) {
        const HelpDocumentLookup missing = findHelpDocument(curDir, c.document);
        EXPECT_TRUE(missing.path.isEmpty());
        EXPECT_EQ(missing.missingMessage, c.message);
    }
    // A folder of the document's name is no document.
    QDir().mkpath(curDir + QStringLiteral("doc/Kalvor_User_Guide_Ru_2_0.doc"));
    EXPECT_FALSE(findHelpDocument(curDir, HelpDocument::UserGuide).missingMessage.isEmpty());

    const QString path = workspace.write(QStringLiteral("doc/Порядок декларирования.doc"), "doc");
    const HelpDocumentLookup found = findHelpDocument(curDir, HelpDocument::DeclarationProcedure);
    EXPECT_EQ(found.path, path);
    EXPECT_TRUE(found.missingMessage.isEmpty());
}

} // namespace
} // namespace kalvor
