#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (kalvor::cli::needsFonts(arguments)) {
        // The few commands that draw text need fonts, never a display: the offscreen platform serves.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("kalvor-cli"));
        return kalvor::cli::run(QCoreApplication::arguments());
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvor-cli"));
    return kalvor::cli::run(QCoreApplication::arguments());
}
