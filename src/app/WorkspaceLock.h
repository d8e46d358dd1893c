#pragma once

#include <QString>

#include <chrono>
#include <memory>

class QLockFile;

namespace kalvor {

// The lock of a workspace: the desktop program holds it for its whole run and every command that writes
// holds it while it works, so that two writers never save over each other's changes. It is a lock file
// in the workspace naming its holder; a lock left behind by a process that no longer runs is taken over.
class WorkspaceLock final {
public:
    WorkspaceLock();
    ~WorkspaceLock(); // releases the lock
    WorkspaceLock(const WorkspaceLock &) = delete;
    WorkspaceLock &operator=(const WorkspaceLock &) = delete;

    // Takes the lock of the workspace folder `curDir` (made when missing). A command that holds it is
    // waited for up to `patience`; a desktop program holding it is not waited for, since it keeps it
    // until the user closes it. Throws KalvorError naming the holder when the lock cannot be had.
    void acquire(const QString &curDir, std::chrono::milliseconds patience);
    bool isLocked() const;

    static QString lockFileName(const QString &curDir);

private:
    std::unique_ptr<QLockFile> m_file;
};

// How long a command waits for another command to finish with the workspace; the desktop program waits
// less, since a user is looking at its start.
inline constexpr std::chrono::milliseconds kCommandLockPatience{30000};
inline constexpr std::chrono::milliseconds kDesktopLockPatience{5000};

} // namespace kalvor
