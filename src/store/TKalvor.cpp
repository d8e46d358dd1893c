#include "store/TKalvor.h"

#include "store/RowView.h"
#include "store/Table.h"

namespace kalvor {
namespace {

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

QString textOf(const RowView &row, QStringView column)
{
    return row.isNull(column) ? QString() : row.asString(column);
}

QString dateTextOf(const RowView &row, QStringView column)
{
    const QDate date = row.asDate(column);
    return date.isValid() ? date.toString(kDateFormat) : QString();
}

bool blank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

bool isInn(const QString &text)
{
    if (text.size() != 10 && text.size() != 12)
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

TKalvor TKalvor::Create(const Table *table)
{
    if (table == nullptr || !table->isActive() || table->recNo() == 0)
        return {};
    return Create(table->currentRow());
}

TKalvor TKalvor::Create(const RowView &row)
{
    TKalvor kalvor;
    if (!row.isValid())
        return kalvor;
    kalvor.SetName(textOf(row, u"organization_name"));
    kalvor.SetINN(textOf(row, u"dkey").left(12));
    kalvor.SetLowAddress(textOf(row, u"low_address"));
    kalvor.SetPostAddress(textOf(row, u"post_address"));
    kalvor.SetDepartmentCount(static_cast<qint32>(row.asInteger(u"department_count")));
    kalvor.SetLicenseSerial(textOf(row, u"license_serial"));
    kalvor.SetLicenseNumber(textOf(row, u"license_number"));
    kalvor.SetLicenseDate(row.asDate(u"license_date"));
    kalvor.SetLicenseDeadline(row.asDate(u"license_deadline"));
    kalvor.SetNameLeader(textOf(row, u"name_leader"));
    kalvor.SetNameCounter(textOf(row, u"name_counter"));
    return kalvor;
}

QString requisitesRefusedMessage()
{
    return QStringLiteral("Не все поля заполнены или введены недостоверные сведения");
}

bool requisitesAccepted(const RequisitesEntry &entry)
{
    for (const QString *text : {&entry.organizationName, &entry.dkey, &entry.lowAddress, &entry.postAddress,
             &entry.departmentCount, &entry.licenseSerial, &entry.licenseNumber, &entry.licenseDate,
             &entry.licenseDeadline, &entry.nameLeader, &entry.nameCounter})
        if (blank(*text))
            return false;
    bool ok = false;
    const qint64 departments = entry.departmentCount.trimmed().toLongLong(&ok);
    // The INN opens every declaration key, so it must be exactly the 10 or 12 digits of a real one.
    return ok && departments > 0 && isInn(entry.dkey);
}

RequisitesEntry requisitesEntryOf(const RowView &row)
{
    RequisitesEntry entry;
    entry.organizationName = textOf(row, u"organization_name");
    entry.dkey = textOf(row, u"dkey");
    entry.lowAddress = textOf(row, u"low_address");
    entry.postAddress = textOf(row, u"post_address");
    entry.departmentCount = row.isNull(u"department_count") ? QString() : QString::number(row.asInteger(u"department_count"));
    entry.licenseSerial = textOf(row, u"license_serial");
    entry.licenseNumber = textOf(row, u"license_number");
    entry.licenseDate = dateTextOf(row, u"license_date");
    entry.licenseDeadline = dateTextOf(row, u"license_deadline");
    entry.nameLeader = textOf(row, u"name_leader");
    entry.nameCounter = textOf(row, u"name_counter");
    return entry;
}

void writeRequisitesEntry(Table &table, const RequisitesEntry &entry)
{
    table.setString(u"organization_name", entry.organizationName);
    table.setString(u"dkey", entry.dkey);
    table.setString(u"low_address", entry.lowAddress);
    table.setString(u"post_address", entry.postAddress);
    table.setString(u"department_count", entry.departmentCount);
    table.setString(u"license_serial", entry.licenseSerial);
    table.setString(u"license_number", entry.licenseNumber);
    table.setString(u"license_date", entry.licenseDate);
    table.setString(u"license_deadline", entry.licenseDeadline);
    table.setString(u"name_leader", entry.nameLeader);
    table.setString(u"name_counter", entry.nameCounter);
}

} // namespace kalvor
