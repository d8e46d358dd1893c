#include "gui/AppIcon.h"

#include "KalvorBuildInfo.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

using namespace kalvor::gui;

// Every PNG the package installs is built into the program, and once installed the icon is what a
// window and a dialog carry.
TEST(AppIcon, CarriesEveryInstalledSizeIntoWindowsAndDialogs)
{
    const QString hicolor = QStringLiteral(KALVOR_SOURCE_SHARE_DIR "/icons/hicolor");
    QList<QSize> installed;
    for (const QString &dir : QDir(hicolor).entryList({QStringLiteral("*x*")}, QDir::Dirs)) {
        const QImage png(hicolor + u'/' + dir + QStringLiteral("/apps/kalvor.png"));
        ASSERT_FALSE(png.isNull()) << dir.toStdString();
        EXPECT_EQ(dir, QStringLiteral("%1x%2").arg(png.width()).arg(png.height()));
        installed.append(png.size());
    }
    ASSERT_GE(installed.size(), 6);

    installApplicationIcon();
    QDialog dialog;
    const QIcon icon = dialog.windowIcon();
    for (const QSize &size : installed)
        EXPECT_TRUE(icon.availableSizes().contains(size)) << size.width();
    EXPECT_EQ(icon.pixmap(QSize(48, 48)).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              QImage(hicolor + QStringLiteral("/48x48/apps/kalvor.png")).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("kalvor"));
}
