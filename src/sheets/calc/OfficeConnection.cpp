#include "sheets/calc/OfficeConnection.h"
#include "sheets/calc/OfficeSession.h"

#include "store/KalvorError.h"

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace kalvor::sheets::calc {

namespace {

using Clock = std::chrono::steady_clock;

QString officeProgramDir()
{
    return QStringLiteral(KALVOR_OFFICE_PROGRAM_DIR);
}

// The program that starts the office: the given one, else the installed LibreOffice's, else soffice on PATH.
QString findSoffice(const QString &given)
{
    if (!given.isEmpty())
        return QFileInfo(given).isExecutable() ? given : QString();
    const QString installed = officeProgramDir() + QStringLiteral("/soffice");
    if (QFileInfo(installed).isExecutable())
        return installed;
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

// The UNO runtime of this process, made once. The office's fundamentalrc tells it where the type
// libraries and the bridge's services are; without it the runtime cannot start.
Reference<css::uno::XComponentContext> localContext()
{
    static std::mutex mutex;
    static Reference<css::uno::XComponentContext> context;
    const std::lock_guard lock(mutex);
    if (context.is())
        return context;
    const QString rc = officeProgramDir() + QStringLiteral("/fundamentalrc");
    if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP")) {
        if (!QFileInfo::exists(rc))
            throw KalvorError(cannotStartMessage(QStringLiteral("LibreOffice не установлен (нет файла %1)").arg(rc)));
        qputenv("URE_BOOTSTRAP", QByteArrayLiteral("vnd.sun.star.pathname:") + QFile::encodeName(rc));
    }
    try {
        context = cppu::defaultBootstrap_InitialComponentContext();
    } catch (const css::uno::Exception &e) {
        throw KalvorError(cannotStartMessage(QStringLiteral("не удалось запустить среду UNO: %1").arg(toQ(e.Message))));
    }
    return context;
}

// The state letter of a process from /proc, or 0 when there is no such process.
char processState(qint64 pid, qint64 *parent = nullptr)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close < 0 || close + 2 >= line.size())
        return 0;
    if (parent)
        *parent = line.mid(close + 4).split(' ').value(0).toLongLong();
    return line[close + 2];
}

bool processAlive(qint64 pid)
{
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    // A finished process that nobody reaped yet is a zombie: gone for our purposes.
    return processState(pid) != 'Z';
}

// The office process (soffice.bin) that the launcher runs; the launcher makes it from another thread, so
// its own children list does not show it: the parents of all processes do.
qint64 officeChild(qint64 launcher)
{
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        qint64 parent = 0;
        if (!number || processState(pid, &parent) == 0 || parent != launcher)
            continue;
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "soffice.bin")
            return pid;
    }
    return 0;
}

QString userPipe()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(::getuid());
    QString pipe = QStringLiteral("kalvor_");
    for (const QChar c : user)
        pipe += c.isLetterOrNumber() && c.unicode() < 128 ? c : u'_';
    return pipe;
}

} // namespace

QString cannotStartMessage(const QString &reason)
{
    return QStringLiteral("Невозможно поднять com-сервер \"com.sun.star.ServiceManager\"\n") + reason;
}

OfficeOptions OfficeOptions::resolved() const
{
    OfficeOptions o = *this;
    if (o.soffice.isEmpty())
        o.soffice = qEnvironmentVariable("KALVOR_SOFFICE");
    if (o.pipeName.isEmpty())
        o.pipeName = qEnvironmentVariable("KALVOR_OFFICE_PIPE");
    if (o.pipeName.isEmpty())
        o.pipeName = userPipe();
    if (o.profileDir.isEmpty())
        o.profileDir = qEnvironmentVariable("KALVOR_OFFICE_PROFILE");
    return o;
}

OfficeConnection::OfficeConnection(const OfficeOptions &options) : m_options(options.resolved())
{
    m_watchdog = std::thread([this] { watch(); });
}

OfficeConnection::~OfficeConnection()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_watchdog.join();
    if (m_bridge.is()) {
        try {
            m_context.clear();
            Reference<css::lang::XComponent>(m_bridge, UNO_QUERY_THROW)->dispose();
        } catch (const css::uno::Exception &) {
            // The office went away first: nothing is left to close.
        }
    }
}

std::shared_ptr<OfficeConnection> OfficeConnection::open(const OfficeOptions &options)
{
    std::shared_ptr<OfficeConnection> connection(new OfficeConnection(options));
    connection->connect();
    return connection;
}

void OfficeConnection::connect()
{
    localContext();
    if (tryConnect())
        return;
    startOffice();
    const Clock::time_point until = Clock::now() + std::chrono::seconds(m_options.startSeconds);
    while (Clock::now() < until) {
        if (tryConnect()) {
            findOfficeProcess();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    killOffice();
    throw KalvorError(cannotStartMessage(QStringLiteral("LibreOffice не ответил за %1 с (канал %2)")
                                             .arg(m_options.startSeconds)
                                             .arg(m_options.pipeName)));
}

bool OfficeConnection::tryConnect()
{
    const Reference<css::uno::XComponentContext> local = localContext();
    Reference<css::connection::XConnection> connection;
    try {
        connection =
            css::connection::Connector::create(local)->connect(toOU(QStringLiteral("pipe,name=") + m_options.pipeName));
    } catch (const css::connection::NoConnectException &) {
        return false;
    } catch (const css::uno::Exception &e) {
        throw KalvorError(cannotStartMessage(toQ(e.Message)));
    }
    call([&] {
        m_bridge = css::bridge::BridgeFactory::create(local)->createBridge(rtl::OUString(), "urp", connection, nullptr);
        m_context.set(m_bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
    });
    if (!m_context->getServiceManager().is())
        throw KalvorError(cannotStartMessage(QStringLiteral("офис не дал своего менеджера служб")));
    return true;
}

void OfficeConnection::startOffice()
{
    const QString soffice = findSoffice(m_options.soffice);
    if (soffice.isEmpty())
        throw KalvorError(
            cannotStartMessage(QStringLiteral("LibreOffice не установлен: не найдена программа %1")
                                   .arg(m_options.soffice.isEmpty() ? QStringLiteral("soffice") : m_options.soffice)));
    QStringList args;
    if (!m_options.profileDir.isEmpty())
        args
            << QStringLiteral("-env:UserInstallation=") +
                   QUrl::fromLocalFile(QFileInfo(m_options.profileDir).absoluteFilePath()).toString(QUrl::FullyEncoded);
    args << QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(m_options.pipeName)
         << QStringLiteral("--norestore") << QStringLiteral("--nologo") << QStringLiteral("--nodefault");
    if (m_options.headless)
        args << QStringLiteral("--headless");
    // Detached: the office outlives this program and keeps the document the user goes on with.
    if (!QProcess::startDetached(soffice, args, QDir::homePath(), &m_launcherPid) || m_launcherPid <= 0) {
        m_launcherPid = 0;
        throw KalvorError(cannotStartMessage(QStringLiteral("не удалось запустить %1").arg(soffice)));
    }
}

qint64 OfficeConnection::officePid() const
{
    const qint64 pid = m_officePid;
    return processAlive(pid) ? pid : 0;
}

void OfficeConnection::findOfficeProcess()
{
    // Asked once the office answers: a first start makes the profile and then runs the office again.
    if (m_launcherPid > 0)
        m_officePid = officeChild(m_launcherPid);
    if (m_officePid <= 0)
        m_officePid = m_launcherPid;
}

bool OfficeConnection::officeRunning() const
{
    return processAlive(m_launcherPid) || processAlive(m_officePid);
}

void OfficeConnection::terminateOffice()
{
    if (!startedOffice() || !officeRunning())
        return;
    if (!m_timedOut) {
        try {
            call([&] {
                const Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(m_context);
                desktop->terminate();
            });
        } catch (const KalvorError &) {
            // It hung up while closing, which is what was asked.
        }
    }
    const Clock::time_point until = Clock::now() + std::chrono::seconds(30);
    while (officeRunning() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    killOffice();
}

void OfficeConnection::killOffice()
{
    if (m_launcherPid <= 0)
        return;
    if (m_officePid <= 0 || m_officePid == m_launcherPid)
        m_officePid = officeChild(m_launcherPid);
    // The launcher runs in a session of its own: its group holds the office too.
    if (processAlive(m_launcherPid)) {
        const pid_t group = ::getpgid(static_cast<pid_t>(m_launcherPid));
        if (group > 1 && group != ::getpgrp())
            ::kill(-group, SIGKILL);
        ::kill(static_cast<pid_t>(m_launcherPid), SIGKILL);
    }
    if (processAlive(m_officePid))
        ::kill(static_cast<pid_t>(m_officePid), SIGKILL);
    const Clock::time_point until = Clock::now() + std::chrono::seconds(10);
    while (officeRunning() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void OfficeConnection::setCallSeconds(int seconds)
{
    const std::lock_guard lock(m_mutex);
    m_options.callSeconds = seconds;
}

void OfficeConnection::arm()
{
    const std::lock_guard lock(m_mutex);
    ++m_depth;
    m_deadline = Clock::now() + std::chrono::seconds(m_options.callSeconds);
    m_wake.notify_all();
}

void OfficeConnection::disarm()
{
    const std::lock_guard lock(m_mutex);
    --m_depth;
    // The outer request still runs: give it a fresh period, as each request had one.
    m_deadline = Clock::now() + std::chrono::seconds(m_options.callSeconds);
}

void OfficeConnection::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_depth == 0 || m_timedOut) {
            m_wake.wait(lock);
            continue;
        }
        if (m_wake.wait_until(lock, m_deadline) == std::cv_status::no_timeout || m_depth == 0 ||
            Clock::now() < m_deadline)
            continue;
        m_timedOut = true;
        const Reference<css::bridge::XBridge> bridge = m_bridge;
        lock.unlock();
        // An office of ours that hangs is of no use to anybody: it goes first, then the waiting request
        // fails at once.
        killOffice();
        try {
            if (bridge.is())
                Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)->dispose();
        } catch (const css::uno::Exception &) {
        }
        lock.lock();
    }
}

void OfficeConnection::fail(const css::uno::Exception &e, bool disposed)
{
    if (m_timedOut) {
        // The watchdog is ending the office: the message comes once it is gone.
        const Clock::time_point until = Clock::now() + std::chrono::seconds(15);
        while (startedOffice() && officeRunning() && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        throw KalvorError(
            QStringLiteral("LibreOffice не отвечает дольше %1 с: выгрузка прервана").arg(m_options.callSeconds));
    }
    if (disposed)
        throw KalvorError(
            QStringLiteral("Связь с LibreOffice прервалась (офис закрыт или аварийно завершился): выгрузка прервана"));
    throw KalvorError(QStringLiteral("Ошибка LibreOffice: %1").arg(toQ(e.Message)));
}

} // namespace kalvor::sheets::calc

namespace kalvor::sheets::calc {

std::shared_ptr<OfficeConnection> connectOffice(const OfficeOptions &options)
{
    return OfficeConnection::open(options);
}

void terminateOffice(OfficeConnection &connection)
{
    connection.terminateOffice();
}

void setCallTimeout(OfficeConnection &connection, int seconds)
{
    connection.setCallSeconds(seconds);
}

qint64 officeProcess(const OfficeConnection &connection)
{
    return connection.officePid();
}

std::vector<OpenSpreadsheet> openSpreadsheets(OfficeConnection &connection, const QString &cellName)
{
    return connection.call([&] {
        std::vector<OpenSpreadsheet> list;
        const Reference<css::container::XEnumeration> documents =
            css::frame::Desktop::create(connection.context())->getComponents()->createEnumeration();
        while (documents->hasMoreElements()) {
            const Reference<css::sheet::XSpreadsheetDocument> document(documents->nextElement(), UNO_QUERY);
            if (!document.is())
                continue;
            OpenSpreadsheet open;
            const Reference<css::frame::XModel> model(document, UNO_QUERY_THROW);
            open.url = toQ(model->getURL());
            open.modified = Reference<css::util::XModifiable>(document, UNO_QUERY_THROW)->isModified();
            const Reference<css::frame::XController> controller = model->getCurrentController();
            open.visible = controller.is() &&
                           Reference<css::awt::XWindow2>(controller->getFrame()->getContainerWindow(), UNO_QUERY_THROW)
                               ->isVisible();
            const Reference<css::container::XIndexAccess> sheets(document->getSheets(), UNO_QUERY_THROW);
            const Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(0), UNO_QUERY_THROW);
            open.cell = toQ(Reference<css::text::XTextRange>(
                                sheet->getCellRangeByName(toOU(cellName))->getCellByPosition(0, 0), UNO_QUERY_THROW)
                                ->getString());
            list.push_back(open);
        }
        return list;
    });
}

} // namespace kalvor::sheets::calc
