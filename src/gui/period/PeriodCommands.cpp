#include "gui/period/PeriodCommands.h"

#include "app/PeriodNames.h"
#include "app/TAppSettings.h"
#include "gui/DeclarationPeriodForm.h"
#include "gui/common/ActionIcons.h"
#include "gui/common/MessageBoxes.h"
#include "gui/period/DialogForm.h"
#include "gui/period/GetFolderDialog.h"
#include "gui/period/TransferRemainsForm.h"
#include "period/CarryOver.h"
#include "period/ErrorDeletion.h"
#include "period/Merge.h"
#include "period/PeriodExport.h"
#include "period/Reconciliation.h"
#include "period/ReportFolder.h"
#include "period/TextExport.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>

namespace kalvor::gui {

namespace {

const QString kRecentSection = QStringLiteral("recent");
const QString kRecentPath = QStringLiteral("path");
const QString kRecentExportPath = QStringLiteral("export_path");

QString chooseDeclarationFile(QWidget *parent)
{
    QFileDialog OpenDialog1(parent);
    OpenDialog1.setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1.setNameFilter(QStringLiteral("*.xml"));
    OpenDialog1.setDefaultSuffix(QStringLiteral("xml"));
    OpenDialog1.setFileMode(QFileDialog::ExistingFile);
    if (OpenDialog1.exec() != QDialog::Accepted || OpenDialog1.selectedFiles().isEmpty())
        return {};
    return OpenDialog1.selectedFiles().constFirst();
}

QString errorText(const std::exception &e)
{
    if (const auto *kalvor = dynamic_cast<const KalvorError *>(&e))
        return kalvor->message();
    return QString::fromLocal8Bit(e.what());
}

} // namespace

PeriodCommands::PeriodCommands(TAppSettings &settings, QWidget *window, PeriodWindowHooks hooks, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_hooks(std::move(hooks)),
      m_chooseFile(&chooseDeclarationFile), m_launch([](const QString &program, const QStringList &arguments) {
          return QProcess::startDetached(program, arguments);
      })
{}

void PeriodCommands::createActions(QObject *owner)
{
    const auto make = [this, owner](const char *name, const QString &caption, const QString &hint, const QIcon &icon,
                                    void (PeriodCommands::*handler)()) {
        auto *action = new QAction(icon, caption, owner);
        action->setObjectName(QString::fromLatin1(name));
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    LoadAccountAction = make("LoadAccountAction", QStringLiteral("Создать отчет и загрузить остатки"),
                             QStringLiteral("Создать отчет и загрузить остатки"), actionIcon(ActionIcon::NewPeriod),
                             &PeriodCommands::LoadAccountActionExecute);
    LoadAddDeclarationAction = make("LoadAddDeclarationAction", QStringLiteral("Добавить/заменить отчет"),
                                    QStringLiteral("Добавить/заменить отчет"), actionIcon(ActionIcon::Merge),
                                    &PeriodCommands::LoadAddDeclarationActionExecute);
    ExportToXMLAction =
        make("ExportToXMLAction", QStringLiteral("Выгрузить в файлы"), QStringLiteral("Выгрузка в файлы"),
             actionIcon(ActionIcon::Export), &PeriodCommands::ExportToXMLActionExecute);
    ImportToDBAction =
        make("ImportToDBAction", QStringLiteral("Загрузить из файла"), QStringLiteral("Загрузить декларацию"),
             actionIcon(ActionIcon::Import), &PeriodCommands::ImportToDBActionExecute);
    N18 = make("N18", QStringLiteral("Тест: сверка остатков на конец периода"),
               QStringLiteral("Тест: сверка остатков на конец периода"), QIcon(),
               &PeriodCommands::N18Click);
    N18->setVisible(false);
    UpDate = make("UpDateAction", QStringLiteral("-> в текст"), QStringLiteral("-> в текст"),
                  QIcon(), &PeriodCommands::UpDateClick);
    BtnDelErrors = make("BtnDelErrorsAction", QStringLiteral("Удалить"), QStringLiteral("Удалить"),
                        actionIcon(ActionIcon::Delete), &PeriodCommands::BtnDelErrorsClick);
}

void PeriodCommands::reopen()
{
    if (m_hooks.reopenViews)
        m_hooks.reopenViews();
}

bool PeriodCommands::runOnDeclaration(const std::function<QString()> &work)
{
    if (m_hooks.closeViews)
        m_hooks.closeViews();
    QString message;
    bool done = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        message = work();
        done = true;
    } catch (const std::exception &e) {
        message = errorText(e);
    }
    QApplication::restoreOverrideCursor();
    // The views come back also after a failure, so the window never stays without its tables.
    reopen();
    if (!done)
        MessageBoxes::error(m_window, message);
    else if (!message.isEmpty())
        MessageBoxes::information(m_window, message);
    return done;
}

bool PeriodCommands::switchPeriod(const std::function<void()> &change)
{
    if (m_hooks.closeViews)
        m_hooks.closeViews();
    try {
        change();
    } catch (const std::exception &e) {
        reopen();
        MessageBoxes::error(m_window, errorText(e));
        return false;
    }
    if (m_hooks.periodChanged)
        m_hooks.periodChanged();
    reopen();
    return true;
}

void PeriodCommands::LoadAccountActionExecute()
{
    TDeclarationPeriodForm form(m_window, m_settings.FPeriodYear);
    form.setMode(TDeclarationPeriodForm::Mode::NewPeriod);
    // The month after the open one is the usual choice.
    if (m_settings.FPeriodMonth >= 1 && m_settings.FPeriodMonth <= 12) {
        const auto [year, month] = nextPeriod(m_settings.FPeriodYear, m_settings.FPeriodMonth);
        form.setPeriod(year, month);
    }
    if (form.exec() != QDialog::Accepted)
        return;
    // Every check (the previous month included) before the question, so the answer is the last word.
    period::CarryOverPlan plan;
    try {
        plan = period::planCarryOver(m_settings, form.year(), form.monthIndex() + 1, form.transferRemains());
    } catch (const std::exception &e) {
        MessageBoxes::information(m_window, errorText(e));
        return;
    }
    if (!plan.notice.isEmpty())
        MessageBoxes::information(m_window, plan.notice);
    if (plan.targetExists && !confirmReplacement(plan))
        return;
    if (!plan.previousTable.isEmpty()) {
        // The open period's views stay as they are until the new table is ready.
        TTransferRemainsForm progress(m_settings, plan, m_window);
        progress.exec();
        if (!progress.succeeded()) {
            MessageBoxes::error(m_window, progress.errorMessage());
            return;
        }
    }
    switchPeriod([this, &plan] { period::installPeriod(m_settings, plan); });
}

bool PeriodCommands::confirmReplacement(const period::CarryOverPlan &plan)
{
    const QString holds = plan.targetRows < 0 ? QStringLiteral("ее файл не читается")
                                              : QStringLiteral("строк в ней: %1").arg(plan.targetRows);
    const QString text = QStringLiteral("Декларация за %1 %2 уже есть, %3:\n%4\n"
                                        "Заменить ее? Прежний файл будет сохранен в папке backup.")
                             .arg(monthNames().value(plan.month - 1), yearText(plan.year), holds,
                                  QDir::toNativeSeparators(plan.declarationFileName));
    // A stray Enter must not put a filled month aside.
    return MessageBoxes::question(m_window, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void PeriodCommands::ImportToDBActionExecute()
{
    IniFile &ini = m_settings.FIniFile;
    QString folder = ini.readString(kRecentSection, kRecentPath);
    if (!QFileInfo(folder).isDir())
        folder = QDir::cleanPath(m_settings.FcurDir);
    const auto reportObjects = [this] {
        if (m_hooks.reportObjects)
            m_hooks.reportObjects();
    };
    // Even without a new folder the operator gets the completeness report of the open one.
    if (!GetFolderDialog(m_window, QStringLiteral("Выберете папку с отчетом"), folder)) {
        reportObjects();
        return;
    }
    ini.writeString(kRecentSection, kRecentPath, folder);
    const period::ReportFolderCheck check = period::checkReportFolder(folder);
    for (const QString &message : check.messages)
        MessageBoxes::information(m_window, message);
    if (!check.accepted)
        return;

    period::LoadedReport loaded;
    if (!switchPeriod([this, &check, &loaded] { loaded = period::loadReportFolder(m_settings, check); }))
        return;
    if (m_hooks.showVersion)
        m_hooks.showVersion(loaded.versionText);

    period::Verification verification;
    try {
        verification = period::verifyReport(m_settings.FDeclarationFileName, m_settings.FKalvorFileName);
    } catch (const std::exception &e) {
        MessageBoxes::error(m_window, errorText(e));
        return;
    }
    for (const QString &message : verification.messages)
        MessageBoxes::information(m_window, message);
    reportObjects();
}

void PeriodCommands::LoadAddDeclarationActionExecute()
{
    TDialogForm dialog(m_window);
    const int choice = dialog.exec();
    if (choice != TDialogForm::Add && choice != TDialogForm::Replace)
        return;
    const QString fileName = m_chooseFile(m_window);
    if (fileName.isEmpty())
        return;
    // The result is seen in the reopened views; only a failure gets a message.
    runOnDeclaration([this, choice, &fileName] {
        if (choice == TDialogForm::Add)
            period::addDeclaration(m_settings, fileName);
        else
            period::replaceDeclaration(m_settings, fileName);
        return QString();
    });
}

void PeriodCommands::ExportToXMLActionExecute()
{
    // The chooser starts where the files went last time, else at the workspace.
    IniFile &ini = m_settings.FIniFile;
    QString folder = ini.readString(kRecentSection, kRecentExportPath);
    if (!QFileInfo(folder).isDir())
        folder = QDir::cleanPath(m_settings.FcurDir);
    if (!GetFolderDialog(m_window, QStringLiteral("Выберете папку куда выгрузить отчет"), folder))
        return;
    ini.writeString(kRecentSection, kRecentExportPath, folder);
    try {
        period::exportPeriodFiles(m_settings, folder);
    } catch (const std::exception &e) {
        MessageBoxes::error(m_window, errorText(e));
        return;
    }
    // The archiver works on its own; the program neither waits for it nor looks at its outcome.
    if (const auto launch = period::archiverLaunch(m_settings, folder))
        m_launch(launch->program, launch->arguments);
    MessageBoxes::information(m_window, QStringLiteral("Файлы отчета выгружены в папку %1")
                                            .arg(QDir::toNativeSeparators(QDir(folder).filePath(m_settings.FPeriodString))));
}

void PeriodCommands::N18Click()
{
    runOnDeclaration([this] { return period::reconcileDeclaration(m_settings).message; });
}

void PeriodCommands::UpDateClick()
{
    runOnDeclaration([this] { return period::exportText(m_settings).message; });
}

void PeriodCommands::BtnDelErrorsClick()
{
    // Any failure ends the command quietly: it is a service tool over the text export's log.
    try {
        const QStringList waybills = period::waybillsToDelete(m_settings.FcurDir);
        Table *positions = m_hooks.positionsView ? m_hooks.positionsView() : nullptr;
        if (waybills.isEmpty() || !positions || !positions->isActive())
            return;
        if (period::deleteListedPositions(*positions, waybills) == 0)
            return;
    } catch (const std::exception &) {
    }
    reopen();
}

} // namespace kalvor::gui
