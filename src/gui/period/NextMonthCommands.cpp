#include "gui/period/NextMonthCommands.h"

#include "app/OutsideReport.h"
#include "app/PeriodNames.h"
#include "app/TAppSettings.h"
#include "app/Version.h"
#include "gui/common/ActionIcons.h"
#include "gui/common/MessageBoxes.h"
#include "gui/period/TransferRemainsForm.h"
#include "period/NextMonthUpdate.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLabel>
#include <QThread>
#include <QTimer>

namespace kalvor::gui {

namespace {

QString monthText(int year, int month)
{
    return monthNames().value(month - 1) + u' ' + QString::number(2000 + year);
}

struct CheckResult {
    bool stale = false;
};

} // namespace

NextMonthCommands::NextMonthCommands(TAppSettings &settings, QWidget *window, QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_watcher(new QFileSystemWatcher(this)),
      m_delay(new QTimer(this))
{
    // Saving a declaration replaces its file; a burst of such changes is checked once.
    m_delay->setSingleShot(true);
    m_delay->setInterval(400);
    connect(m_delay, &QTimer::timeout, this, &NextMonthCommands::startCheck);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFolders();
        m_delay->start();
    });
}

NextMonthCommands::~NextMonthCommands()
{
    if (m_checker)
        m_checker->wait();
}

void NextMonthCommands::createActions(QObject *owner)
{
    UpdateNextMonthAction =
        new QAction(actionIcon(ActionIcon::Update), QStringLiteral("Обновить остатки следующего месяца"), owner);
    UpdateNextMonthAction->setObjectName(QStringLiteral("UpdateNextMonthAction"));
    UpdateNextMonthAction->setToolTip(QStringLiteral("Перенести остатки на конец этого месяца в уже созданный "
                                                     "следующий месяц, сохранив его записи"));
    UpdateNextMonthAction->setEnabled(false);
    connect(UpdateNextMonthAction, &QAction::triggered, this, &NextMonthCommands::UpdateNextMonthActionExecute);
}

QLabel *NextMonthCommands::createNotice(QWidget *parent)
{
    m_notice = new QLabel(parent);
    m_notice->setObjectName(QStringLiteral("NextMonthNotice"));
    m_notice->setTextFormat(Qt::RichText);
    m_notice->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // The link is the point of the note: the requisites line gives way, not the note.
    m_notice->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_notice->hide();
    connect(m_notice, &QLabel::linkActivated, this, &NextMonthCommands::UpdateNextMonthActionExecute);
    return m_notice;
}

bool NextMonthCommands::nextMonth(int &year, int &month) const
{
    if (m_settings.FPeriodMonth < 1 || m_settings.FPeriodMonth > 12 || m_settings.FDeclarationFileName.isEmpty())
        return false;
    // A report loaded from an outside folder has no next month in the workspace.
    if (!outsideReportFolder(m_settings).isEmpty())
        return false;
    std::tie(year, month) = nextPeriod(m_settings.FPeriodYear, m_settings.FPeriodMonth);
    return true;
}

void NextMonthCommands::periodChanged()
{
    int year = 0;
    int month = 0;
    const bool own = nextMonth(year, month);
    if (UpdateNextMonthAction)
        UpdateNextMonthAction->setEnabled(own);
    watchFolders();
    showCheck(false, QString());
    if (own)
        m_delay->start(0);
}

void NextMonthCommands::watchFolders()
{
    const QStringList watched = m_watcher->directories();
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
    int year = 0;
    int month = 0;
    if (!nextMonth(year, month))
        return;
    QStringList folders{m_settings.FcurDir + QStringLiteral("reports"),
                        periodFolder(m_settings.FcurDir, m_settings.FPeriodString),
                        periodFolder(m_settings.FcurDir, periodString(year, month))};
    folders.removeIf([](const QString &folder) { return !QFileInfo(folder).isDir(); });
    if (!folders.isEmpty())
        m_watcher->addPaths(folders);
}

void NextMonthCommands::startCheck()
{
    if (m_checker) {
        m_checkAgain = true;
        return;
    }
    int year = 0;
    int month = 0;
    period::NextMonthUpdatePlan plan;
    try {
        if (!nextMonth(year, month))
            return showCheck(false, QString());
        plan = period::planNextMonthUpdate(m_settings, year, month);
    } catch (const KalvorError &) {
        // No next month yet (or no month before it): nothing can be out of date.
        return showCheck(false, QString());
    }
    if (UpdateNextMonthAction)
        UpdateNextMonthAction->setEnabled(true);
    auto result = std::make_shared<CheckResult>();
    m_checker.reset(QThread::create([plan, result, version = versionText()] {
        try {
            result->stale = !period::updateNextMonthRemains(plan, version, {}, false).upToDate();
        } catch (const std::exception &) {
            // An unreadable month is reported by the command itself, not by the note.
            result->stale = false;
        }
    }));
    const QString text = monthText(year, month);
    connect(m_checker.get(), &QThread::finished, this, [this, result, text, thread = m_checker.get()] {
        if (m_checker.get() != thread)
            return;
        m_checker->wait();
        m_checker.reset();
        showCheck(result->stale, text);
        if (std::exchange(m_checkAgain, false))
            startCheck();
    });
    m_checker->start();
}

void NextMonthCommands::checkNow()
{
    m_delay->stop();
    startCheck();
    if (m_checker) {
        m_checker->wait();
        QCoreApplication::sendPostedEvents(this);
        QCoreApplication::processEvents();
    }
}

void NextMonthCommands::showCheck(bool stale, const QString &periodText)
{
    m_stale = stale;
    if (m_notice) {
        m_notice->setText(
            QStringLiteral("<span style=\"color:#a04000\">Остатки следующего месяца (%1) устарели.</span> "
                           "<a href=\"update\">Обновить остатки следующего месяца</a>")
                .arg(periodText));
        m_notice->setVisible(stale);
    }
    Q_EMIT checked();
}

void NextMonthCommands::UpdateNextMonthActionExecute()
{
    int year = 0;
    int month = 0;
    if (!nextMonth(year, month)) {
        MessageBoxes::information(m_window, QStringLiteral("Остатки обновляются в месяце, следующем за текущим "
                                                           "отчетным периодом рабочей папки."));
        return;
    }
    period::NextMonthUpdatePlan plan;
    try {
        plan = period::planNextMonthUpdate(m_settings, year, month);
    } catch (const KalvorError &e) {
        MessageBoxes::information(m_window, e.message());
        return;
    }
    period::NextMonthUpdateSummary summary;
    TTransferRemainsForm progress(
        m_settings, QStringLiteral("Обновление остатков"),
        [&plan, &summary, version = versionText()](const Progress &p) {
            summary = period::updateNextMonthRemains(plan, version, p);
        },
        m_window);
    progress.exec();
    if (!progress.succeeded()) {
        QFile::remove(plan.updatedFile);
        MessageBoxes::error(m_window, progress.errorMessage());
        return;
    }
    const QString next = monthText(year, month);
    const QString current = monthText(m_settings.FPeriodYear, m_settings.FPeriodMonth);
    if (summary.upToDate()) {
        MessageBoxes::information(
            m_window, QStringLiteral("Остатки на начало месяца «%1» уже совпадают с остатками на конец месяца «%2».")
                          .arg(next, current));
        return;
    }
    const QString question =
        QStringLiteral("В декларации за %1 изменятся остатки строк: %2, добавятся строки: %3.\n"
                       "Остальные записи месяца останутся как есть; прежний файл будет сохранен в папке backup.\n"
                       "Обновить остатки?")
            .arg(next)
            .arg(summary.rowsChanged)
            .arg(summary.rowsAdded);
    if (MessageBoxes::question(m_window, question) != QMessageBox::Yes) {
        QFile::remove(plan.updatedFile);
        return;
    }
    try {
        period::installNextMonthUpdate(m_settings, plan);
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    showCheck(false, QString());
    MessageBoxes::information(m_window, QStringLiteral("Остатки на начало месяца «%1» обновлены.").arg(next));
}

} // namespace kalvor::gui
