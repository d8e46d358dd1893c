#include "app/Version.h"

#include "KalvorBuildInfo.h"

namespace kalvor {

QString versionTextFrom(QStringView fileVersion)
{
    if (fileVersion.size() <= 1)
        return {};
    return fileVersion.chopped(2).toString();
}

QString versionText()
{
    return versionTextFrom(QStringLiteral(KALVOR_FILE_VERSION));
}

QString mainWindowCaption(const QString &version)
{
    return QStringLiteral("Декларация о розничной продаже алкогольной продукции  ") + QStringLiteral("(версия ")
        + version + u')';
}

QString versionFieldValue(const QString &version)
{
    return QStringLiteral("Версия ") + version;
}

} // namespace kalvor
