#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kalvor::test {

// A handed-in report: the declaration <stem>.xml with these rows and the requisites <stem>d.xml of the
// INN (the sample requisites), written into `folder`. `stem` is INN (12) + YYMM + "00".
void writeReport(const QString &folder, const QString &stem, const QList<QByteArray> &rows,
                 const QString &requisitesInn = {});

// A key of the stem with the invoice, position and transfer numbers.
QByteArray keyOf(const QString &stem, int invoice, int position = 0, int transfer = 0);
// Row attributes: the key, then the others as given.
QByteArray rowOf(const QString &stem, int invoice, int position, int transfer, const QByteArray &more = {});

} // namespace kalvor::test
