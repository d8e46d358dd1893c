#pragma once

#include <QString>
#include <QStringView>

namespace kalvor {

// The version text from a four-part file version: its last two characters dropped ("2.4.4.0" gives
// "2.4.4"). A value of one character or none counts as no version and gives an empty text.
QString versionTextFrom(QStringView fileVersion);
// The version text of this build.
QString versionText();

// The main window caption: "Декларация о розничной продаже алкогольной продукции  (версия 1.0.0)".
QString mainWindowCaption(const QString &version);
// The value stored in the version column of a period's first invoice: "Версия 1.0.0".
QString versionFieldValue(const QString &version);

} // namespace kalvor
