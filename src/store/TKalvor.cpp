#include "store/TKalvor.h"

#include "store/RowView.h"
#include "store/Table.h"

#include <utility>

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

QStringList requisitesFaults(const RequisitesEntry &entry)
{
    const std::pair<const QString *, const char *> fields[] = {
        {&entry.organizationName, "organization_name"}, {&entry.dkey, "dkey"},
        {&entry.lowAddress, "low_address"},             {&entry.postAddress, "post_address"},
        {&entry.departmentCount, "department_count"},   {&entry.licenseSerial, "license_serial"},
        {&entry.licenseNumber, "license_number"},       {&entry.licenseDate, "license_date"},
        {&entry.licenseDeadline, "license_deadline"},   {&entry.nameLeader, "name_leader"},
        {&entry.nameCounter, "name_counter"},
    };
    QStringList faults;
    for (const auto &[text, name] : fields) {
        bool wrong = blank(*text);
        if (!wrong && text == &entry.departmentCount) {
            bool ok = false;
            wrong = !(text->trimmed().toLongLong(&ok) > 0 && ok);
        } else if (!wrong && text == &entry.dkey) {
            // The INN opens every declaration key, so it must be exactly the 10 or 12 digits of a real one.
            wrong = !isInn(*text);
        }
        if (wrong)
            faults.append(QString::fromLatin1(name));
    }
    return faults;
}

bool requisitesAccepted(const RequisitesEntry &entry) { return requisitesFaults(entry).isEmpty(); }

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
