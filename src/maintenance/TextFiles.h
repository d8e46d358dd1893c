#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kalvor::maintenance {

// Text files come from Windows machines (Windows-1251) or from ours (UTF-8): told apart by UTF-8
// validity; a UTF-8 byte-order mark is dropped.
QString decodeText(const QByteArray &bytes);
// The lines of a text, without their CR LF or LF ends; a final line end adds no empty line.
QStringList textLines(const QString &text);

} // namespace kalvor::maintenance
