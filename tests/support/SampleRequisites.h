#pragma once

#include "store/TKalvor.h"

namespace kalvor::test {

// A complete, valid requisites entry (ООО Ромашка, г. Тула, licence А 123 until 31.12.2012).
RequisitesEntry sampleRequisites(const QString &inn = QStringLiteral("1234567890"));

} // namespace kalvor::test
