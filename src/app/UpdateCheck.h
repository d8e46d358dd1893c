#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace kalvor {

// True when some interface is up and has an address other than loopback: without one there is
// nobody to ask, and the update check must not even try.
bool hasNetwork();

inline constexpr std::chrono::milliseconds kDownloadTimeout{15000};

// Downloads one URL into one file (created or truncated), past every cache, with the program's file
// name as the agent. Blocks in a local event loop, so the windows keep processing events meanwhile.
// False on any failure (no connection, an HTTP error status, the timeout, a file that cannot be
// written); a failed download leaves no file behind.
bool DownloadFile(const QString &url, const QString &fileName,
                  std::chrono::milliseconds timeout = kDownloadTimeout);

// The lines of a notice: UTF-8, LF or CRLF line ends, a byte-order mark dropped, no empty line for the
// final line end.
QStringList noticeLines(QByteArrayView bytes);

// What the update check tells the user: the exact texts compared, any difference means a new version.
QString updateCheckMessage(const QString &version, const QString &latestVersion);

// Fetches the update notice into "update/update.txt" of the workspace, reads it and deletes it. One
// object serves the silent fetch at start-up and the check on request, so its guard also keeps the two
// from writing the same file at once.
class UpdateNoticeFetcher final {
public:
    using NetworkProbe = std::function<bool()>;

    UpdateNoticeFetcher(QString curDir, QString noticeUrl);

    void setNetworkProbe(NetworkProbe probe) { m_networkProbe = std::move(probe); }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    const QString &noticeUrl() const { return m_noticeUrl; }
    // "update/update.txt" under the workspace.
    QString noticeFileName() const;
    bool isRunning() const { return m_running; }

    // The notice's lines; nullopt without a network, while another fetch runs, or on any failure.
    // Never throws and never shows anything.
    std::optional<QStringList> FetchUpdateNotice();

private:
    QString m_curDir;
    QString m_noticeUrl;
    NetworkProbe m_networkProbe;
    std::chrono::milliseconds m_timeout = kDownloadTimeout;
    bool m_running = false;
};

// Starts the updater as a separate process (an argument list, never a shell) in its own folder.
bool startUpdater(const QString &program);

} // namespace kalvor
