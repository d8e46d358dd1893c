#include "cli/CommandTable.h"

#include "app/DemoWorkspace.h"
#include "app/Workspace.h"
#include "app/WorkspaceLock.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace kalvor::cli {

Command demoCommand()
{
    return {QStringLiteral("demo"), QStringLiteral("demo ПАПКА"),
            QStringLiteral("Создает готовую рабочую папку: реквизиты и два месяца данных (февраль и март 2012)"),
            [](const Options &, const QStringList &args) {
                if (args.size() != 1) {
                    printError(QStringLiteral("использование: kalvor-cli demo ПАПКА"));
                    return 2;
                }
                WorkspaceLock lock;
                lock.acquire(QFileInfo(args.first()).absoluteFilePath(), kCommandLockPatience);
                const std::size_t rows =
                    createDemoWorkspace(args.first(), locateShareDir(QCoreApplication::applicationDirPath()));
                printLine(QStringLiteral("Рабочая папка готова: %1 строк за два месяца").arg(rows));
                return 0;
            }};
}

} // namespace kalvor::cli
