#include "support/FakeDesktop.h"

#include "app/WorkspaceLock.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <gtest/gtest.h>

namespace kalvor::test {

FakeDesktop::FakeDesktop(const QString &workspace)
{
    // The lock's holder is told by the name of its executable.
    const QString folder = QDir(workspace).filePath(QStringLiteral(".fake-desktop"));
    QDir().mkpath(folder);
    const QString program = QDir(folder).filePath(QStringLiteral("kalvor"));
    QFile::copy(QStringLiteral("/bin/sleep"), program);
    QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner);
    m_process.start(program, {QStringLiteral("600")});
    EXPECT_TRUE(m_process.waitForStarted());
    QFile lock(WorkspaceLock::lockFileName(workspace));
    EXPECT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(pid()) + "\nkalvor\n" + QSysInfo::machineHostName().toUtf8() + '\n');
}

FakeDesktop::~FakeDesktop()
{
    crash();
}

void FakeDesktop::crash()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

} // namespace kalvor::test
