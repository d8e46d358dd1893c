#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace kalvor::test {

// A declaration file with the template's columns and these rows, each given as its attributes
// (e.g. `dkey="..." rest="-1.000"`); written into `folder` as `name`. Returns the path.
QString writeDeclaration(const QString &folder, const QString &name, const QList<QByteArray> &rowAttributes);

// Gives `column` of a declaration file another FIELD definition (e.g. `fieldtype="r8"`), as older or
// foreign files have them.
void retypeColumn(const QString &fileName, const QByteArray &column, const QByteArray &definition);

// A key of the stem 710701234500120300 with the given invoice, position and transfer numbers.
QByteArray declarationKey(int invoice, int position = 0, int transfer = 0);

} // namespace kalvor::test
