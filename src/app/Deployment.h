#pragma once

#include <QString>

namespace kalvor {

class IniFile;

// Values that belong to an installation rather than to a filer: where updates come from, where
// declarations are mailed, who owns and who made the program. They live in "kalvor.conf".
struct Deployment {
    QString updateHost;          // URL base of the update server, without a trailing "/"
    QString updaterCommand;      // the updater; relative to the executable's folder unless absolute
    QString contractMail;        // the authority's address for filers with a contract
    QString nonContractMail;     // ... and for filers without one
    QString supportMail;
    QString productPage;
    QString developerPage;
    QString ownerName;
    QString developerName;
    QString consultationPhones;
};

inline constexpr char16_t kDeploymentFileName[] = u"kalvor.conf";

// The values the program uses when "kalvor.conf" is missing; the same as in the shipped file.
Deployment defaultDeployment();
// The values of a parsed file; a missing or empty key keeps its default.
Deployment readDeployment(const IniFile &ini);
// The workspace's own "kalvor.conf" when there is one, else the share folder's, else the defaults.
// A file that cannot be read counts as missing: the program must start all the same.
Deployment loadDeployment(const QString &curDir, const QString &shareDir);

// host + "/data/update.txt".
QString updateNoticeUrl(const Deployment &deployment);
// The updater's full path: an absolute command as it is, a relative one beside the executable.
QString updaterProgram(const Deployment &deployment, const QString &executableDir);

} // namespace kalvor
