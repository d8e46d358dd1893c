#include "cli/WorkspacePeriod.h"

#include "period/PeriodExport.h"
#include "store/KalvorError.h"

#include <QProcess>

namespace kalvor::cli {

Command exportFilesCommand()
{
    return {QStringLiteral("export-files"), QStringLiteral("export-files [--archive] ПАПКА"),
            QStringLiteral("Копирует декларацию и сведения о калворе текущего периода в ПАПКА/ГГГГММ/ и ничего не "
                           "выводит. Архиватор из [arc] cmd файла tamrel.ini запускается только с --archive (в "
                           "текущей папке, без ожидания: ГГГГММ.zip ПАПКА/ГГГГММ/*.*)"),
            [](const Options &options, const QStringList &args) {
                bool archive = false;
                QString destination;
                for (const QString &arg : args) {
                    if (arg == u"--archive" && !archive) {
                        archive = true;
                    } else if (destination.isEmpty() && !arg.startsWith(u"--")) {
                        destination = arg;
                    } else {
                        destination.clear();
                        break;
                    }
                }
                if (destination.isEmpty()) {
                    printError(
                        QStringLiteral("использование: kalvor-cli [--home ПАПКА] export-files [--archive] ПАПКА"));
                    return 2;
                }
                PeriodWorkspace workspace(options, Access::Read);
                TAppSettings &settings = workspace.settings;
                period::exportPeriodFiles(settings, destination);
                if (!archive)
                    return 0;
                const std::optional<period::ArchiverLaunch> launch = period::archiverLaunch(settings, destination);
                // Asked for explicitly here, so a launch that fails is reported rather than passed over.
                if (launch && !QProcess::startDetached(launch->program, launch->arguments))
                    throw KalvorError(QStringLiteral("Не удалось запустить архиватор %1").arg(launch->program));
                return 0;
            }};
}

} // namespace kalvor::cli
