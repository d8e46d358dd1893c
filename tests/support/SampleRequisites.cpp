#include "support/SampleRequisites.h"

namespace kalvor::test {

RequisitesEntry sampleRequisites(const QString &inn)
{
    RequisitesEntry e;
    e.organizationName = QStringLiteral("ООО Ромашка");
    e.dkey = inn;
    e.lowAddress = QStringLiteral("г. Тула");
    e.postAddress = QStringLiteral("г. Тула, ул. Ленина, 1, тел. 31-22-33");
    e.departmentCount = QStringLiteral("1");
    e.licenseSerial = QStringLiteral("А");
    e.licenseNumber = QStringLiteral("123");
    e.licenseDate = QStringLiteral("01.01.2010");
    e.licenseDeadline = QStringLiteral("31.12.2012");
    e.nameLeader = QStringLiteral("Иванов И. И.");
    e.nameCounter = QStringLiteral("Петрова А. С.");
    return e;
}

} // namespace kalvor::test
