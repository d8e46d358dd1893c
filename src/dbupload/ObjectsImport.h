#pragma once

#include "dbupload/DbRowBuffer.h"

#include <QByteArrayView>
#include <QString>

namespace kalvor::dbupload {

// Reads the list of the filers' trading objects: a header line with the seven column names INN,
// Kod_object, Date_object, Kod_raion, Status, Date_priost, Date_save (any order, any letter case), then
// one object per line. Fields are separated by ";" (or "," or TAB, as the header has them) and may be
// quoted with "..." ("" inside is one quote). UTF-8 or Windows-1251. INN is 10 or 12 digits, Kod_object
// must be given, dates are dd.mm.yyyy or yyyy-mm-dd or empty, Status an integer (empty: 0). A bad line
// refuses the whole file: KalvorError naming the file and the line's number.
DbRowBuffer parseObjectsCsv(QByteArrayView bytes, const QString &displayName);

// Replaces the content of alcohol_objects with the file's objects in one transaction; returns how many.
qint64 importObjects(const QString &curDir, const QString &shareDir, const QString &fileName);

} // namespace kalvor::dbupload
