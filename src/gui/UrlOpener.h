#pragma once

#include <QDesktopServices>
#include <QUrl>

#include <functional>

namespace kalvor::gui {

// Hands a document, web page or mailto: link to the desktop. The result is not examined: a missing
// mail program or browser is the desktop's business. Tests put a recorder in its place.
using UrlOpener = std::function<void(const QUrl &)>;

inline UrlOpener desktopUrlOpener()
{
    return [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

} // namespace kalvor::gui
