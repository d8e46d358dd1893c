#include "PrivateOffice.h"

#include "sheets/calc/OfficeSession.h"

#include <QCoreApplication>

#include <atomic>

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
