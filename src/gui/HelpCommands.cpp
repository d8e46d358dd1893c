#include "gui/HelpCommands.h"

#include "app/TAppSettings.h"
#include "app/Version.h"
#include "gui/EmailHelpForm.h"
#include "gui/HelpForm.h"
#include "gui/common/MessageBoxes.h"

#include <QDir>

namespace kalvor::gui {

HelpCommands::HelpCommands(const TAppSettings &settings, const Deployment &deployment, QWidget *window,
                           QObject *parent)
    : QObject(parent), m_settings(settings), m_deployment(deployment), m_window(window),
      m_openUrl(desktopUrlOpener()), m_runDialog([](QDialog &dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("HelpCommands"));
}

void HelpCommands::openDocument(HelpDocument document)
{
    const HelpDocumentLookup found = findHelpDocument(m_settings.FcurDir, document);
    if (found.path.isEmpty()) {
        MessageBoxes::information(m_window, found.missingMessage);
        return;
    }
    // Without a program for the file the desktop does nothing visible: say where the document is.
    if (!m_openUrl(QUrl::fromLocalFile(found.path)))
        MessageBoxes::information(m_window, QStringLiteral("Не удалось открыть документ: на компьютере нет программы "
                                                           "для файлов этого типа. Документ находится здесь:\n%1")
                                                .arg(QDir::toNativeSeparators(found.path)));
}

void HelpCommands::N30Click() { openDocument(HelpDocument::UserGuide); }
void HelpCommands::N31Click() { openDocument(HelpDocument::DeclarationProcedure); }
void HelpCommands::N32Click() { openDocument(HelpDocument::Amendment); }

void HelpCommands::HelpActionExecute()
{
    THelpForm form(m_deployment, m_openUrl, m_window);
    m_runDialog(form);
}

void HelpCommands::N24Click()
{
    TFormEmailHelp form(m_window);
    m_runDialog(form);
}

void HelpCommands::sendMail(const QString &address)
{
    const TKalvor &kalvor = m_settings.Fkalvor;
    m_openUrl(declarationMailLink(address, versionText(), kalvor.FINN, kalvor.FName));
}

void HelpCommands::SendContractMailItemClick() { sendMail(m_deployment.contractMail); }
void HelpCommands::SendNonContractMailItemClick() { sendMail(m_deployment.nonContractMail); }

QString HelpCommands::contractMailItemCaption() const { return contractMailCaption(m_deployment.contractMail); }

QString HelpCommands::nonContractMailItemCaption() const
{
    return nonContractMailCaption(m_deployment.nonContractMail);
}

} // namespace kalvor::gui
