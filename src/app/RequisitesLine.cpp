#include "app/RequisitesLine.h"

#include "app/Formats.h"

namespace kalvor {

QString requisitesLine(const TKalvor &kalvor)
{
    return kalvor.FName + QStringLiteral(", ИНН ") + kalvor.FINN + QStringLiteral(", ") + kalvor.FLowAddress
        + QStringLiteral(", ") + kalvor.FLicenseSerial + u' ' + kalvor.FLicenseNumber + QStringLiteral(", ")
        + Formats::date(kalvor.FLicenseDeadline);
}

} // namespace kalvor
