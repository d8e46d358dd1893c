#include "app/UpdateCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkInterface>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QTimer>
#include <QUrl>

#include <utility>

namespace kalvor {
namespace {

// The system's proxy settings, except for this machine itself, which no proxy can reach.
class LocalBypassProxyFactory final : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override
    {
        const QString host = query.peerHostName();
        if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback())
            return {QNetworkProxy(QNetworkProxy::NoProxy)};
        return systemProxyForQuery(query);
    }
};

QString agentName()
{
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return name.isEmpty() ? QStringLiteral("kalvor") : name;
}

// Clears the flag however the fetch ends.
class RunningFlag final {
public:
    explicit RunningFlag(bool &flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag &) = delete;
    RunningFlag &operator=(const RunningFlag &) = delete;

private:
    bool &m_flag;
};

} // namespace

bool hasNetwork()
{
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        const auto flags = iface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = iface.addressEntries();
        for (const QNetworkAddressEntry &entry : entries)
            if (!entry.ip().isNull() && !entry.ip().isLoopback())
                return true;
    }
    return false;
}

bool DownloadFile(const QString &url, const QString &fileName, std::chrono::milliseconds timeout)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;

    QNetworkAccessManager manager;
    manager.setProxyFactory(new LocalBypassProxyFactory); // the manager owns it
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // Proxies in between must not answer from their caches either.
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setHeader(QNetworkRequest::UserAgentHeader, agentName());

    QNetworkReply *reply = manager.get(request);
    bool writeFailed = false;
    const auto writeAvailable = [&] {
        if (!reply->isOpen())
            return;
        const QByteArray block = reply->readAll();
        if (!writeFailed && file.write(block) != block.size()) {
            writeFailed = true;
            reply->abort();
        }
    };

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, writeAvailable);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, reply, &QNetworkReply::abort);
    deadline.start(timeout);
    if (!reply->isFinished())
        loop.exec();
    deadline.stop();
    writeAvailable();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error page is not a notice.
    const bool ok = reply->error() == QNetworkReply::NoError && !writeFailed && status < 400 && file.flush();
    delete reply;
    file.close();
    if (!ok)
        file.remove();
    return ok;
}

QStringList noticeLines(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    if (bytes.isEmpty())
        return {};
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

QString updateCheckMessage(const QString &version, const QString &latestVersion)
{
    if (version == latestVersion)
        return QStringLiteral("У вас установлена последняя версия программы!");
    return QStringLiteral("Доступна новая версия программы ") + latestVersion;
}

UpdateNoticeFetcher::UpdateNoticeFetcher(QString curDir, QString noticeUrl)
    : m_curDir(std::move(curDir)), m_noticeUrl(std::move(noticeUrl)), m_networkProbe(hasNetwork)
{
}

QString UpdateNoticeFetcher::noticeFileName() const
{
    return QDir(m_curDir).filePath(QStringLiteral("update/update.txt"));
}

std::optional<QStringList> UpdateNoticeFetcher::FetchUpdateNotice()
{
    // The download lets events through, so a second press of "Обновить" can arrive in the middle of it.
    if (m_running)
        return std::nullopt;
    const RunningFlag running(m_running);
    if (m_networkProbe && !m_networkProbe())
        return std::nullopt;

    const QString fileName = noticeFileName();
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return std::nullopt;
    if (QFileInfo::exists(fileName) && !QFile::remove(fileName))
        return std::nullopt;
    if (!DownloadFile(m_noticeUrl, fileName, m_timeout))
        return std::nullopt;

    QFile file(fileName);
    std::optional<QStringList> lines;
    if (file.open(QIODevice::ReadOnly))
        lines = noticeLines(file.readAll());
    file.close();
    QFile::remove(fileName);
    return lines;
}

bool startUpdater(const QString &program)
{
    if (!QFileInfo(program).isFile())
        return false;
    return QProcess::startDetached(program, {}, QFileInfo(program).absolutePath());
}

} // namespace kalvor
