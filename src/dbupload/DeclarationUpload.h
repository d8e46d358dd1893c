#pragma once

#include "app/Progress.h"
#include "dbupload/ReportRows.h"

#include <QString>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::dbupload {

inline constexpr const char *kUploadSucceededMessage = "Выгрузка в базу завершена успешно.";
inline constexpr const char *kUploadFailedMessage = "Ошибка выгрузки в базу";
inline constexpr const char *kKalvorUploadFailedMessage = "Ошибка выгрузки в базу сведений о калворе";

// What an upload of the open period needs, taken from the settings on the window's thread.
struct DeclarationUploadPlan {
    QString curDir;
    QString shareDir; // the schema scripts, for a new SQLite database
    QString declarationFileName;
    QString kalvorFileName;
    UploadPeriod period; // the period open in the program
};

// Checks that a period is open and its files exist; throws KalvorError otherwise. Changes nothing.
DeclarationUploadPlan planDeclarationUpload(const TAppSettings &settings, const QString &shareDir);

struct UploadSummary {
    qint64 declarationRows = 0;
    qint64 kalvorRows = 0;
    QStringList keys; // the report keys replaced
};

// "Выгрузить в БД": the declaration (keys rewritten to the open period, suppliers' names on positions
// and transfers) and the requisites, replacing the earlier rows of their keys, in one transaction. The
// period's files are only read. Safe on a worker thread; throws KalvorError (also when cancelled).
UploadSummary uploadDeclaration(const DeclarationUploadPlan &plan, const Progress &progress = {});

// "Добавить log": the requisites file gets its keys rewritten to the open period and one more row with
// the last row's data; the rows then replace the earlier requisites of their key in the database, and
// only after that is the file saved. Running it twice leaves two added rows. Throws KalvorError.
UploadSummary uploadKalvorLog(const DeclarationUploadPlan &plan, const Progress &progress = {});

} // namespace kalvor::dbupload
