#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kalvor::test {

class DatabaseWorkspace;

// A handed-in report: the declaration <stem>.xml with these rows and the requisites <stem>d.xml of the
// INN (the sample requisites), written into `folder`. `stem` is INN (12) + YYMM + "00".
void writeReport(const QString &folder, const QString &stem, const QList<QByteArray> &rows,
                 const QString &requisitesInn = {});

// A key of the stem with the invoice, position and transfer numbers.
QByteArray keyOf(const QString &stem, int invoice, int position = 0, int transfer = 0);
// Row attributes: the key, then the others as given.
QByteArray rowOf(const QString &stem, int invoice, int position, int transfer, const QByteArray &more = {});

// Uploads the handed-in report of `stem` with these rows (its requisites the sample's) into the workspace's
// database, as `db upload` does for the period of the stem.
void uploadReport(const DatabaseWorkspace &ws, const QString &stem, const QList<QByteArray> &rows);

// The known data set of the report procedures: filers 7107012345 (February and March 2012) and
// 771234567890 (April 2012) with invoices, positions, a transfer, an import, volumes that cancel out, and
// their trading objects.
void loadKnownData(const DatabaseWorkspace &ws);

} // namespace kalvor::test
