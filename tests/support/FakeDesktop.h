#pragma once

#include <QProcess>
#include <QString>

namespace kalvor::test {

// A running process named "kalvor" that holds a workspace's lock file, as the desktop program does while
// it runs. Ending it leaves the lock file behind, as a crash would.
class FakeDesktop final {
public:
    explicit FakeDesktop(const QString &workspace);
    ~FakeDesktop();

    qint64 pid() const { return m_process.processId(); }
    void crash(); // ends the process; its lock file stays

private:
    QProcess m_process;
};

} // namespace kalvor::test
