#pragma once

#include <QString>
#include <QStringList>

namespace kalvor {
class TAppSettings;
}

namespace kalvor::period {

inline constexpr const char *kFolderNameMessage = "Название папки должно быть в формате: YYYYMM";
inline constexpr const char *kFolderMonthMessage = "Порядковый номер месяца, в названии папки, больше чем 12";
inline constexpr const char *kWrongFileNameMessage = "Название файла в неправильном формате.";
inline constexpr const char *kFilesMissingMessage = "Не найден либо файл декларации, либо файл сведений о калворе";
inline constexpr const char *kDepartmentsMissingMessage =
    "Предупреждение: Не все обособленные подразделения присутствуют в отчете.";
inline constexpr const char *kVerificationFailedMessage = "Верификация завершена с ошибкой.";
inline constexpr const char *kVerificationPassedMessage = "Верификация завершена успешно.";
inline constexpr const char *kUnknownVersionText = "Версия неизвестна";

// What a handed-in report folder (named "YYYYMM", holding INNYYMMCC.xml and INNYYMMCCd.xml) holds.
struct ReportFolderCheck {
    QStringList messages;  // in the order the user is shown them
    bool accepted = false; // the name is a period and both files were found
    int year = 0;          // counted from 2000
    int month = 0;         // 0-12: a folder named ...00 passes
    QString periodString;  // the folder's own name
    QString declarationFileName;
    QString kalvorFileName;
};

// The period a report folder's name "YYYYMM" gives: characters 3-4 the year, 5-6 the month (00 passes).
struct FolderPeriod {
    bool valid = false;
    QString message; // what to show when the name gives no period
    QString name;    // the folder's own name
    int year = 0;    // counted from 2000
    int month = 0;
};
FolderPeriod folderPeriod(const QString &folder);

// Checks the folder's name and finds its two files. Files are looked at in name order, so that of several
// files of one kind "the last one found" is the same on every machine. Reads no file contents.
ReportFolderCheck checkReportFolder(const QString &folder);

struct Verification {
    QStringList messages; // the optional warning, the faults found, then the outcome
    bool success = false; // no negative remains
};

// Looks for negative remains and for subdivisions (1 ... department_count of the requisites) that have
// no row in the declaration. A department_code that is not a whole number counts for no subdivision.
// Declaration columns of another type than the declaration's, and remains that are no number, fail the
// verification: one message before the outcome lists them, a line each (naming the column or the row).
// Throws KalvorError naming the file when either file cannot be read or lacks a column it needs.
Verification verifyReport(const QString &declarationFileName, const QString &kalvorFileName);

// What the main window shows once a report folder is loaded.
struct LoadedReport {
    QString requisitesLine;
    QString versionText; // the program version the report was made with, or kUnknownVersionText
};

// Makes an accepted folder the working period: the settings' period, month, year and both files are
// switched to it (INNYYMMCC and the configuration file stay as they were) and the requisites are read
// into the settings. The settings change only when everything could be read; otherwise KalvorError.
LoadedReport loadReportFolder(TAppSettings &settings, const ReportFolderCheck &check);

// The `version` of the declaration's first invoice row in key order; kUnknownVersionText when it is empty
// or the table has no such column or no invoice row.
QString reportVersion(const QString &declarationFileName);

// The check of a handed-in folder and then its verification, for the operator who checks many folders:
// every message of both, and success when they end in a passed verification. A file that cannot be
// read ends the messages with its error. Nothing is written anywhere.
Verification verifyFolder(const QString &folder);

} // namespace kalvor::period
