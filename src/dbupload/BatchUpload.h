#pragma once

#include "app/Progress.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kalvor::dbupload {

inline constexpr const char *kBatchFolderCaption = "Выберете папку с отчетами формата YYYYMM";
inline constexpr const char *kObjectsEmptyMessage = "Ошибка. Таблица alcohol_objects пуста. Загрузите ИНН в таблицу.";
inline constexpr const char *kRepInnFailedMessage = "Ошибка выполнения запроса к процедуре REP_INN";
inline constexpr const char *kDeleteKalvorFailedMessage = "Ошибка выполнения запроса к процедуре DELETE_OLD_KALVOR";
inline constexpr const char *kDeleteDeclarationFailedMessage =
    "Ошибка выполнения запроса к процедуре DELETE_OLD_DECLARATION";
inline constexpr const char *kKalvorFileMissingMessage = "Не найден файл сведений о калворе";
inline constexpr const char *kWrongFileNameMessage = "Ошибка в названии файла";
inline constexpr const char *kBatchDoneMessage = "Данные выгружены:  ( см. файл log.txt)";
inline constexpr const char *kBatchCancelledMessage = "Пакетная выгрузка прервана:  ( см. файл log.txt)";
inline constexpr const char *kBatchLogHeader =
    "ИНН или файл|выгружен (1-да, 0-нет, 2-ошибка при выгрузке, 3-не выгрузилось, т.к. отсутствует в списке на "
    "выгрузку из текущего каталога)";

// A folder of handed-in reports of one month, checked before anything is done.
struct BatchPlan {
    QString folder;
    int year = 0;  // from the folder's name: the month being taken in
    int month = 0;
    QString curDir;
    QString shareDir;
    QString logFileName; // <workspace>/log.txt
    QStringList files;   // the folder's "*.xml" names, in name order
};

// Checks the folder's name ("YYYYMM", month at most 12) and lists its files; throws KalvorError with
// the message to show when the name gives no period. Changes nothing.
BatchPlan planBatchUpload(const QString &curDir, const QString &shareDir, const QString &folder);

// What the batch tells as it goes: the messages a person sees at once (a missing requisites file, a
// wrongly named file) and the file being worked on. Called on the batch's thread.
struct BatchHooks {
    std::function<void(const QString &message)> notice;
    std::function<void(const QString &fileName)> fileStarted;
};

struct BatchResult {
    QStringList logLines;   // as written to log.txt, the head line first
    int uploaded = 0;       // files logged with "1"
    int failed = 0;         // files logged with "2"
    QStringList failures;   // "file: reason" for every "2", for the command line
    bool cancelled = false; // stopped by the user after the file being worked on
    // The batch stopped (REP_INN or a deleting procedure failed, no filers listed): the message to show
    // and the database's words behind it. Empty when it ran to the end.
    QString stopMessage;
    QString stopDetail;
    QString message; // what to show at the end
};

// Takes in every report of the folder whose filer is listed by REP_INN: for each listed declaration
// INNYYMMCC.xml with its INNYYMMCCd.xml, in one transaction, the filer's earlier data of that key goes
// (DELETE_OLD_KALVOR, DELETE_OLD_DECLARATION) and the cleaned declaration (positions and transfers
// without their invoice left out, keys rewritten to the folder's month, suppliers' names on positions)
// and the requisites come in; a failure leaves the earlier data. Every step is logged in log.txt in
// the workspace. A file named for another month than the folder's, or whose rows belong to another INN
// than its name, is logged as failed. Safe on a worker thread; throws KalvorError only when log.txt
// cannot be written.
BatchResult runBatchUpload(const BatchPlan &plan, const BatchHooks &hooks = {}, const Progress &progress = {});

} // namespace kalvor::dbupload
