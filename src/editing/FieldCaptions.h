#pragma once

#include <QString>
#include <QStringView>

namespace kalvor {

// The title the user sees for a column of the declaration (grids and entry dialogs); empty for a column
// the user never sees by name.
QString fieldCaption(QStringView field);

// A message about a value of `field` with the column's internal name replaced by its title, so the user
// can tell which entry is meant: "(поле package_count)" becomes "(поле «Количество тары (шт.)»)".
QString withFieldCaption(const QString &message, QStringView field);

} // namespace kalvor
