#include "gui/dbupload/DatabaseCommands.h"

#include "app/TAppSettings.h"
#include "dbupload/BatchUpload.h"
#include "dbupload/DeclarationUpload.h"
#include "gui/common/MessageBoxes.h"
#include "gui/dbupload/DbProgressForm.h"
#include "gui/period/GetFolderDialog.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QStyle>
#include <QToolButton>

namespace kalvor::gui {
namespace {

const QString kRecentSection = QStringLiteral("recent");
const QString kRecentPath = QStringLiteral("path");

QToolButton *textButton(const QString &name, QAction *action, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setVisible(false);
    return button;
}

// The fixed message, and under it what went wrong, for the operator who has to mend it.
QString failureText(const QString &message, const QString &detail)
{
    return detail.isEmpty() ? message : message + QStringLiteral("\n\n") + detail;
}

} // namespace

DatabaseCommands::DatabaseCommands(TAppSettings &settings, QWidget *window, QString shareDir, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_shareDir(std::move(shareDir))
{
}

void DatabaseCommands::createActions(QObject *owner, QWidget *buttonParent)
{
    QStyle *style = QApplication::style();
    UpdateToDBAction = new QAction(style->standardIcon(QStyle::SP_DriveNetIcon), QStringLiteral("Выгрузить в БД"), owner);
    UpdateToDBAction->setObjectName(QStringLiteral("UpdateToDBAction"));
    UpdateToDBAction->setToolTip(QStringLiteral("Выгрузить в базу"));
    UpdateToDBKalvorAction = new QAction(QStringLiteral("Добавить log"), owner);
    UpdateToDBKalvorAction->setObjectName(QStringLiteral("UpdateToDBKalvorAction"));
    N37 = new QAction(QStringLiteral("Пакетная выгрузка в БД.."), owner);
    N37->setObjectName(QStringLiteral("N37"));
    connect(UpdateToDBAction, &QAction::triggered, this, &DatabaseCommands::UpdateToDBActionExecute);
    connect(UpdateToDBKalvorAction, &QAction::triggered, this, &DatabaseCommands::UpdateToDBKalvorActionExecute);
    connect(N37, &QAction::triggered, this, &DatabaseCommands::N37Click);
    SpeedButton14 = textButton(QStringLiteral("SpeedButton14"), UpdateToDBAction, buttonParent);
    SpeedButton15 = textButton(QStringLiteral("SpeedButton15"), UpdateToDBKalvorAction, buttonParent);
    setServiceVisible(false);
}

void DatabaseCommands::setServiceVisible(bool visible)
{
    for (QAction *action : {UpdateToDBAction, UpdateToDBKalvorAction, N37})
        action->setVisible(visible);
    SpeedButton14->setVisible(visible);
    SpeedButton15->setVisible(visible);
}

void DatabaseCommands::runUpload(const char *failure, bool kalvorLog)
{
    dbupload::DeclarationUploadPlan plan;
    try {
        plan = dbupload::planDeclarationUpload(m_settings, m_shareDir);
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, failureText(QString::fromUtf8(failure), e.message()));
        return;
    }
    TDbProgressForm form(
        QStringLiteral("Выгрузка в базу"),
        [plan, kalvorLog](TDbProgressForm &f, const Progress &progress) {
            f.showCurrent(QStringLiteral("Выгрузка: ") + (kalvorLog ? plan.kalvorFileName : plan.declarationFileName));
            if (kalvorLog)
                dbupload::uploadKalvorLog(plan, progress);
            else
                dbupload::uploadDeclaration(plan, progress);
        },
        m_window);
    form.exec();
    if (form.succeeded())
        MessageBoxes::information(m_window, QString::fromUtf8(dbupload::kUploadSucceededMessage));
    else if (form.cancelRequested())
        MessageBoxes::information(m_window, form.errorMessage());
    else
        MessageBoxes::error(m_window, failureText(QString::fromUtf8(failure), form.errorMessage()));
}

void DatabaseCommands::UpdateToDBActionExecute() { runUpload(dbupload::kUploadFailedMessage, false); }

void DatabaseCommands::UpdateToDBKalvorActionExecute() { runUpload(dbupload::kKalvorUploadFailedMessage, true); }

void DatabaseCommands::N37Click()
{
    IniFile &ini = m_settings.FIniFile;
    QString folder = ini.readString(kRecentSection, kRecentPath);
    if (!GetFolderDialog(m_window, QString::fromUtf8(dbupload::kBatchFolderCaption), folder))
        return;
    ini.writeString(kRecentSection, kRecentPath, folder);
    dbupload::BatchPlan plan;
    try {
        plan = dbupload::planBatchUpload(m_settings.FcurDir, m_shareDir, folder);
    } catch (const KalvorError &e) {
        MessageBoxes::information(m_window, e.message());
        return;
    }

    dbupload::BatchResult result;
    TDbProgressForm form(
        QStringLiteral("Пакетная выгрузка в БД"),
        [&plan, &result](TDbProgressForm &f, const Progress &progress) {
            dbupload::BatchHooks hooks;
            hooks.notice = [&f](const QString &message) { f.showNotice(message); };
            hooks.fileStarted = [&f, &plan](const QString &name) {
                f.showCurrent(QStringLiteral("%1 (из %2 файлов)").arg(name).arg(plan.files.size()));
            };
            result = dbupload::runBatchUpload(plan, hooks, progress);
        },
        m_window);
    form.exec();
    if (!form.succeeded())
        MessageBoxes::error(m_window, form.errorMessage());
    else if (!result.stopMessage.isEmpty())
        MessageBoxes::error(m_window, failureText(result.stopMessage, result.stopDetail));
    else
        MessageBoxes::information(m_window, result.message);
}

} // namespace kalvor::gui
