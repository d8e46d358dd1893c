#pragma once

#include "maintenance/DeclarationRewrite.h"

#include <QHash>
#include <QString>

#include <optional>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::maintenance {

// Bulk corrections of one or a few fields in every row of the current declaration. Each keeps a backup
// of the declaration, saves the table back and reports "Количество замен: " with its counter.

// Kind codes of the old list mapped to the current one (3, 4, 7 -> 6; 8 -> 3; 9 -> 7; 10 -> 4; 11 -> 8;
// 12 -> 2); nullopt for a code that stays.
std::optional<int> convertedKindCode(qint64 oldCode);
// Converts the period's kind codes and records "Converted" = "1" in the period's section of the
// configuration file. A period already converted is refused, so no code is converted twice.
MaintenanceResult convertKindProduction(TAppSettings &settings);

// Packages sold from litres sold, purchase price per package from the sum, the sum in thousands.
MaintenanceResult recomputePurchases(const TAppSettings &settings);

// Region code from fragments of the producer's name, tested in a fixed order (the first found decides,
// so "Московская область" is tried before "Москов"); 0 when none is found or the name is empty.
int regionForProducer(const QString &producerName);
MaintenanceResult fillRegions(const TAppSettings &settings);

// Empties the transfer figures of invoice and position rows (other_coming, other_charges and the two
// subdivision codes); transfer rows and the remains stay.
MaintenanceResult clearTransferFigures(const TAppSettings &settings);

// The mapping file data/default1.txt: lines of tab-separated columns, the new number first, the old one
// second. A line holding kWaybillExclusionMarker anywhere keeps the old number.
inline const QString kWaybillExclusionMarker = QStringLiteral("НЕ ЗАМЕНЯТЬ");
QString waybillMappingFile(const QString &curDir);

// The part of a line after its first tab (the whole line when it has none).
QString GetRightString(const QString &line);

class WaybillMapping final {
public:
    // Reads the file (UTF-8 or Windows-1251); a missing or unreadable file maps nothing.
    static WaybillMapping load(const QString &fileName);
    static WaybillMapping fromText(const QString &text);
    // The new number for an old one, or the old one itself when no line maps it (or the first line
    // mapping it carries the exclusion marker).
    QString getFile(const QString &old) const;
    qsizetype size() const { return m_map.size(); }

private:
    QHash<QString, std::optional<QString>> m_map; // old -> new; nullopt: excluded
};

MaintenanceResult replaceWaybillNumbers(const TAppSettings &settings);

} // namespace kalvor::maintenance
