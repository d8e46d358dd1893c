#include "PrivateOffice.h"

#include "sheets/calc/OfficeSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace kalvor::test {

PrivateOffice::PrivateOffice()
{
    static std::atomic<int> serial{0};
    options.profileDir = dir.file(QStringLiteral("profile"));
    options.pipeName = QStringLiteral("kalvor_test_%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    options.headless = true;
}

PrivateOffice::~PrivateOffice()
{
    for (const auto &c : m_connections)
        sheets::calc::terminateOffice(*c);
    m_connections.clear();
    // An office a command under test started on this profile (and did not end) goes too.
    // It names the profile as a URL on its command line.
    const QByteArray profile = QUrl::fromLocalFile(options.profileDir).toEncoded();
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (number && pid != ::getpid() && cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(profile))
            ::kill(pid, SIGKILL);
    }
}

std::shared_ptr<sheets::calc::OfficeConnection> PrivateOffice::connect()
{
    m_connections.push_back(sheets::calc::connectOffice(options));
    return m_connections.back();
}

QProcessEnvironment PrivateOffice::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KALVOR_OFFICE_PROFILE"), options.profileDir);
    env.insert(QStringLiteral("KALVOR_OFFICE_PIPE"), options.pipeName);
    return env;
}

} // namespace kalvor::test
