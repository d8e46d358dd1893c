#pragma once

#include "store/TableData.h"

#include <QByteArray>
#include <QString>

namespace kalvor {

enum class PacketForm { Xml, Binary };

// ".xml" in any letter case means the XML form; every other name the binary form.
PacketForm packetFormForName(const QString &fileName);

// The XML form: Windows-1251 when every text fits it, else UTF-8 with an encoding declaration.
// Records go out in TableData::order with the change log renumbered to match.
QByteArray serializeDataPacket(const TableData &data, PacketForm form);

// Writes atomically: a failure leaves the old file as it was. Throws KalvorError naming the file.
void saveDataPacketFile(const TableData &data, const QString &fileName);

} // namespace kalvor
