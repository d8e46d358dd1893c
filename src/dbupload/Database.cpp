#include "dbupload/Database.h"

#include "store/KalvorError.h"

namespace kalvor::dbupload {

void requireIdentifier(const QString &name)
{
    bool ok = !name.isEmpty() && !name.front().isDigit();
    for (const QChar c : name)
        ok = ok && ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_');
    if (!ok)
        throw KalvorError(QStringLiteral("Недопустимое имя процедуры или таблицы: «%1»").arg(name));
}

} // namespace kalvor::dbupload
