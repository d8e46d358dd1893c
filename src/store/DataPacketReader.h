#pragma once

#include "store/TableData.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

namespace kalvor {

// Reads a data packet in either text form (Windows-1251 without an encoding declaration, or UTF-8) or
// in the program's binary form. On any fault it throws KalvorError naming `displayName` and leaves
// `out` empty, so nothing half-read reaches a table.
void readDataPacketFile(const QString &fileName, TableData &out);
void readDataPacket(QIODevice &device, const QString &displayName, TableData &out);
void readDataPacketBytes(QByteArrayView bytes, const QString &displayName, TableData &out);

} // namespace kalvor
