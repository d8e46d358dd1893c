#pragma once

#include <QDesktopServices>
#include <QUrl>

#include <functional>

namespace kalvor::gui {

// Hands a document, web page or mailto: link to the desktop; false when the desktop has no program for
// it. Tests put a recorder in its place.
using UrlOpener = std::function<bool(const QUrl &)>;

inline UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

} // namespace kalvor::gui
