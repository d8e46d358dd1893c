#include "app/Deployment.h"

#include "app/IniFile.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QFileInfo>

namespace kalvor {
namespace {

void readInto(const IniFile &ini, const char16_t *section, const char16_t *key, QString &value)
{
    const QString read = ini.readString(QString::fromUtf16(section), QString::fromUtf16(key)).trimmed();
    if (!read.isEmpty())
        value = read;
}

} // namespace

Deployment defaultDeployment()
{
    Deployment d;
    d.updateHost = QStringLiteral("http://update.kalvor.example");
    d.updaterCommand = QStringLiteral("update");
    d.contractMail = QStringLiteral("declaration-contract@authority.example");
    d.nonContractMail = QStringLiteral("declaration@authority.example");
    d.supportMail = QStringLiteral("support@kalvor.example");
    d.productPage = QStringLiteral("http://www.kalvor.example");
    d.developerPage = QStringLiteral("http://www.developer.example");
    d.ownerName = QStringLiteral("Уполномоченный орган по лицензированию розничной продажи алкогольной продукции");
    d.developerName = QStringLiteral("Разработчик программы Kalvor");
    d.consultationPhones = QStringLiteral("(000) 000-00-00, (000) 000-00-01");
    return d;
}

Deployment readDeployment(const IniFile &ini)
{
    Deployment d = defaultDeployment();
    readInto(ini, u"update", u"host", d.updateHost);
    readInto(ini, u"update", u"updater", d.updaterCommand);
    readInto(ini, u"mail", u"contract", d.contractMail);
    readInto(ini, u"mail", u"non_contract", d.nonContractMail);
    readInto(ini, u"mail", u"support", d.supportMail);
    readInto(ini, u"web", u"product", d.productPage);
    readInto(ini, u"web", u"developer", d.developerPage);
    readInto(ini, u"about", u"owner", d.ownerName);
    readInto(ini, u"about", u"developer", d.developerName);
    readInto(ini, u"about", u"phones", d.consultationPhones);
    while (d.updateHost.endsWith(u'/'))
        d.updateHost.chop(1);
    return d;
}

Deployment loadDeployment(const QString &curDir, const QString &shareDir)
{
    const QString name = QString::fromUtf16(kDeploymentFileName);
    QStringList candidates;
    if (!curDir.isEmpty())
        candidates << QDir(curDir).filePath(name);
    if (!shareDir.isEmpty())
        candidates << QDir(shareDir).filePath(name);
    for (const QString &path : candidates) {
        if (!QFileInfo(path).isFile())
            continue;
        try {
            return readDeployment(IniFile(path));
        } catch (const KalvorError &) {
            // An unreadable copy must not keep the program from starting; try the next one.
        }
    }
    return defaultDeployment();
}

QString updateNoticeUrl(const Deployment &deployment)
{
    return deployment.updateHost + QStringLiteral("/data/update.txt");
}

QString updaterProgram(const Deployment &deployment, const QString &executableDir)
{
    const QString command = deployment.updaterCommand.isEmpty() ? QStringLiteral("update") : deployment.updaterCommand;
    if (QFileInfo(command).isAbsolute())
        return QDir::cleanPath(command);
    return QDir::cleanPath(QDir(executableDir).filePath(command));
}

} // namespace kalvor
