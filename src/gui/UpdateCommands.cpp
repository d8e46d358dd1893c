#include "gui/UpdateCommands.h"

#include "app/Version.h"
#include "gui/ConfirmationForm.h"
#include "gui/common/MessageBoxes.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextDocument>

namespace kalvor::gui {

UpdateCommands::UpdateCommands(const QString &curDir, const QString &noticeUrl, const QString &updaterProgram,
                               QWidget *window, QPlainTextEdit *memo, QObject *parent)
    : QObject(parent), m_fetcher(curDir, noticeUrl), m_updaterProgram(updaterProgram), m_window(window), m_memo(memo)
{
    setObjectName(QStringLiteral("UpdateCommands"));
    if (m_memo == nullptr) {
        m_ownMemo = std::make_unique<QPlainTextEdit>();
        m_memo = m_ownMemo.get();
    }
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setVisible(false);
    m_runConfirmation = [](TConfirmation_Form &form) { return form.exec(); };
    m_startUpdater = [](const QString &program) { return startUpdater(program); };
}

UpdateCommands::~UpdateCommands() = default;

bool UpdateCommands::fetchIntoMemo()
{
    const std::optional<QStringList> lines = m_fetcher.FetchUpdateNotice();
    if (!lines)
        return false;
    m_memo->setPlainText(lines->join(u'\n'));
    return true;
}

void UpdateCommands::fetchAtStartup()
{
    fetchIntoMemo();
}

void UpdateCommands::TestUpdateActionExecute()
{
    // The download and the confirmation window both process events; one check at a time.
    if (m_checking)
        return;
    m_checking = true;
    const auto done = qScopeGuard([this] { m_checking = false; });

    // The user asked: a check that cannot be made, or finds nothing, says so (the start-up check is silent).
    if (!fetchIntoMemo()) {
        MessageBoxes::information(m_window, QStringLiteral("Не удалось проверить обновления: нет связи с сервером "
                                                           "обновлений. Проверьте подключение к интернету."));
        return;
    }
    const QString latest = m_memo->document()->firstBlock().text();
    // An empty notice is no notice.
    if (m_memo->document()->isEmpty() || latest.isEmpty()) {
        MessageBoxes::information(m_window, QStringLiteral("Сведений о новых версиях программы нет."));
        return;
    }

    TConfirmation_Form form(m_window);
    form.Msg->setText(updateCheckMessage(versionText(), latest));
    if (m_runConfirmation(form) != QMessageBox::Yes)
        return;
    // Closing the program makes sense only when something is there to replace it.
    if (!m_startUpdater(m_updaterProgram)) {
        MessageBoxes::error(m_window, QStringLiteral("Не удалось запустить программу обновления \"%1\"")
                                          .arg(m_updaterProgram));
        return;
    }
    Q_EMIT exitRequested();
}

} // namespace kalvor::gui
