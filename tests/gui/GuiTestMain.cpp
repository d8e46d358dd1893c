#include "gui/RussianTranslations.h"
#include "gui/common/MessageBoxes.h"

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // Widget tests need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvor "));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    kalvor::gui::installRussianTranslations(app);
    // No test may wait for a person: every message box answers itself and is only recorded.
    kalvor::gui::MessageBoxes::setAnswerAutomatically(true);

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
