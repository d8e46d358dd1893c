#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace kalvor {

class RowView;
class Table;

// The filer's requisites in memory, read from the one row of a requisites table.
class TKalvor final {
public:
    // Built from the current row of an open requisites table; with no table (or no row) every field
    // stays empty. Throws KalvorError when the table lacks a requisites column.
    static TKalvor Create(const Table *table = nullptr);
    static TKalvor Create(const RowView &row);

    void SetDepartmentCount(qint32 value) { FDepartmentCount = value; }
    void SetLicenseDeadline(const QDate &value) { FLicenseDeadline = value; }
    void SetPostAddress(const QString &value) { FPostAddress = value; }
    void SetINN(const QString &value) { FINN = value; }
    void SetLicenseNumber(const QString &value) { FLicenseNumber = value; }
    void SetLicenseSerial(const QString &value) { FLicenseSerial = value; }
    void SetLowAddress(const QString &value) { FLowAddress = value; }
    void SetName(const QString &value) { FName = value; }
    void SetLicenseDate(const QDate &value) { FLicenseDate = value; }
    void SetNameLeader(const QString &value) { FNameLeader = value; }
    void SetNameCounter(const QString &value) { FNameCounter = value; }

    qint32 FDepartmentCount = 0;
    QDate FLicenseDeadline;
    QString FPostAddress;
    QString FINN;            // first 12 characters of the requisites' dkey
    QString FLicenseNumber;
    QString FLicenseSerial;
    QString FLowAddress;
    QString FName;
    QDate FLicenseDate;
    QString FNameLeader;
    QString FNameCounter;
};

// The requisites row as its fields' texts, as the entry dialog holds them before saving.
struct RequisitesEntry {
    QString organizationName;
    QString dkey;
    QString lowAddress;
    QString postAddress;
    QString departmentCount;
    QString licenseSerial;
    QString licenseNumber;
    QString licenseDate;      // dd.MM.yyyy
    QString licenseDeadline;  // dd.MM.yyyy
    QString nameLeader;
    QString nameCounter;
};

// An INN as the program takes it: 10 or 12 digits.
bool isInn(const QString &text);

// The message shown when an entry is refused.
QString requisitesRefusedMessage();

// Whether the entry may be saved: every field filled, at least one subdivision, and an INN of 10 or
// 12 digits.
bool requisitesAccepted(const RequisitesEntry &entry);
// The columns whose entries keep it from being saved (organization_name, dkey, ...), in dialog order.
QStringList requisitesFaults(const RequisitesEntry &entry);

// The entry read from a requisites row (dates in dd.MM.yyyy, empty for NULL).
RequisitesEntry requisitesEntryOf(const RowView &row);
// Writes the entry into the current row of a table in edit or insert state.
void writeRequisitesEntry(Table &table, const RequisitesEntry &entry);

} // namespace kalvor
