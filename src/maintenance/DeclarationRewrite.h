#pragma once

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::maintenance {

// What a maintenance command did: the message the user is shown and the figures behind it.
struct MaintenanceResult {
    QString message;
    qint64 count = 0;      // rows removed or replacements made, as the message counts them
    QString backupFile;    // where the previous declaration was kept
};

// Hooks of one rewrite: which rows stay and what key each gets.
struct RewriteOptions {
    std::function<bool(std::string_view key)> keep;          // rows answered false are left out
    std::function<std::string(std::string_view key)> newKey; // the key written instead of the row's own
};

struct RewriteSummary {
    qint64 sizeBefore = 0;
    qint64 sizeAfter = 0;
    qint64 rowsWritten = 0;
    qint64 rowsLeftOut = 0;
    QString backupFile;
};

// Pours the current rows of the declaration, in key order, into the columns of the template
// templates/xml/declaration.xml (matched by name) and saves the result over the declaration: the file
// then holds exactly the template's columns and the current rows, without any change log. The old file
// is backed up first. A missing declaration or template throws before anything is written.
RewriteSummary rewriteThroughTemplate(const QString &curDir, const QString &declarationFileName,
                                      const RewriteOptions &options = {});

// "Уменьшить файл отчета": the rewrite alone; the message tells the bytes saved.
MaintenanceResult compactDeclaration(const TAppSettings &settings);
// "Удалить "пустые" данные": drops position and transfer rows whose invoice row is missing.
MaintenanceResult clearUnlinkedRows(const TAppSettings &settings);
// Key repair: characters 26-32 of every key rotated left by one place (000001 00 becomes 000010 00).
MaintenanceResult repairKeys(const TAppSettings &settings);

// The rotation of the key repair; keys shorter than 32 characters stay as they are.
std::string repairedKey(std::string_view key);

} // namespace kalvor::maintenance
