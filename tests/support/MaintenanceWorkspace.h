#pragma once

#include "app/TAppSettings.h"
#include "support/TempDir.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kalvor::test {

// A workspace with the declaration template, a configuration file and the period 201203 whose
// declaration holds the given rows (attributes as for writeDeclaration).
class MaintenanceWorkspace final {
public:
    explicit MaintenanceWorkspace(const QList<QByteArray> &rows);

    TempDir dir;
    TAppSettings settings;

    const QString &declaration() const { return settings.FDeclarationFileName; }
    // The keys and one field of the visible rows, in key order: "key=value" each.
    QStringList column(const char *field) const;
};

// Attributes of a row: its key with further attributes.
QByteArray row(int invoice, int position = 0, int transfer = 0, const QByteArray &more = {});

} // namespace kalvor::test
