#include "period/Merge.h"

#include "app/TAppSettings.h"
#include "maintenance/Backup.h"
#include "store/ColumnCopy.h"
#include "store/DataPacketReader.h"
#include "store/DeclarationKey.h"
#include "store/DeclarationSchema.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/SystemError.h"
#include "store/Table.h"
#include "store/TableDump.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <string>
#include <vector>

namespace kalvor::period {

namespace {

// The columns an added row takes over from its source row; every other column stays empty.
// clang-format off
constexpr const char16_t *kCopiedFields[] = {
    u"supply_name",           u"license",
    u"license_date",          u"ttn_numer",
    u"ttn_date",              u"loading_address",
    u"production_name",       u"production_number",
    u"production_code",       u"producer_name",
    u"region_code",           u"department_code",
    u"return_volume",         u"other_coming",
    u"department_code_inner", u"alcohol",
    u"package_volume",        u"package_count",
    u"volume",                u"purches_price",
    u"sum_coming",            u"rest_volume",
    u"package_count_charges", u"volume_charges",
    u"markup",                u"sum_charges",
    u"return_volume_charges", u"writeoff_volume_charges",
    u"other_charges",         u"department_code_inner_charges",
    u"rest",
};
// clang-format on

struct CopiedField {
    int target = -1;
    int source = -1; // -1: the source file has no such column
};

int invoiceDigits(std::string_view key)
{
    int value = 0;
    for (const char c : key.substr(dkey::kInvoiceOffset, dkey::kInvoiceDigits))
        value = value * 10 + (c - '0');
    return value;
}

QString keyText(std::string_view key)
{
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// The highest invoice number of the invoice rows, 0 when there is none. Not the last key's: keys of
// another month sort apart.
int highestInvoiceNumber(const Table &table, int keyField)
{
    const TableData &data = table.data();
    int highest = 0;
    for (const std::uint32_t record : table.presentedRecords()) {
        const std::string_view key = data.text(data.recordCells(record)[keyField]);
        if (dkey::kindOf(key) == dkey::KeyKind::Invoice)
            highest = std::max(highest, invoiceDigits(key));
    }
    return highest;
}

// "%.6d" of a number already known to fit.
std::string paddedInvoice(int number)
{
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06d", number);
    return digits;
}

} // namespace

TInvoice TInvoice::Create(const Table &table)
{
    TInvoice invoice;
    if (!table.isActive() || table.recNo() == 0)
        return invoice;
    const RowView row = table.currentRow();
    const auto textOf = [&row](QStringView name) {
        const int field = row.fieldIndex(name);
        return field < 0 || row.isNull(field) ? QString() : row.asString(field);
    };
    invoice.Fdkey = textOf(u"dkey");
    invoice.Fttn_numer = textOf(u"ttn_numer");
    invoice.Fproduction_number = textOf(u"production_number");
    const int date = row.fieldIndex(u"ttn_date");
    if (date >= 0)
        invoice.Fttn_date = row.asDateTime(date);
    return invoice;
}

bool TInvoice::compare(const TInvoice &other) const
{
    return Fttn_numer == other.Fttn_numer && Fttn_date == other.Fttn_date &&
           Fproduction_number == other.Fproduction_number;
}

MergeResult addDeclaration(const TAppSettings &settings, const QString &fileName)
{
    const std::string stem = dkey::stemFor(settings.Fkalvor.FINN, settings.FPeriodString).toStdString();

    Table target(settings.FDeclarationFileName);
    target.open();
    Table source(fileName);
    source.open();
    const int targetKey = target.requireField(u"dkey");
    const int sourceKey = source.requireField(u"dkey");
    const int offset = highestInvoiceNumber(target, targetKey);

    // Every source key is checked before the first row is added, so a refusal writes nothing.
    const TableData &from = source.data();
    for (const std::uint32_t record : source.presentedRecords()) {
        const std::string_view key = from.text(from.recordCells(record)[sourceKey]);
        if (dkey::kindOf(key) == dkey::KeyKind::Invalid)
            throw KalvorError(QStringLiteral("В файле %1 ключ строки «%2» не является ключом декларации. "
                                             "Отчет не добавлен.")
                                  .arg(fileName, keyText(key)));
        if (invoiceDigits(key) + offset > dkey::kMaxInvoice)
            throw KalvorError(QStringLiteral("Номер накладной %1 из файла %2 после добавления к последней накладной "
                                             "%3 превысит %4. Отчет не добавлен.")
                                  .arg(invoiceDigits(key))
                                  .arg(fileName)
                                  .arg(offset)
                                  .arg(dkey::kMaxInvoice));
    }

    std::vector<CopiedField> copied;
    for (const char16_t *name : kCopiedFields) {
        CopiedField field;
        field.target = target.requireField(QStringView(name));
        field.source = source.fieldIndex(QStringView(name));
        copied.push_back(field);
    }

    qint64 added = 0;
    std::string key;
    for (const std::uint32_t record : source.presentedRecords()) {
        const CellRow cells = from.recordCells(record);
        const std::string_view sourceKeyText = from.text(cells[sourceKey]);
        key.assign(stem);
        key += paddedInvoice(invoiceDigits(sourceKeyText) + offset);
        key += sourceKeyText.substr(dkey::kPositionOffset);
        target.append();
        target.setStoredText(targetKey, key);
        for (const CopiedField &field : copied) {
            if (field.source < 0 || cells[field.source].isNull())
                continue;
            // A column of another type goes through the declaration's type; nothing is rounded away.
            const std::string_view text = from.text(cells[field.source]);
            const FieldDef &to = target.field(field.target);
            const std::optional<std::string> value = convertStoredText(source.field(field.source), text, to);
            if (!value)
                throw unconvertibleValue(fileName, sourceKeyText, to, text);
            target.setStoredText(field.target, *value);
        }
        target.post();
        ++added;
    }

    MergeResult result;
    result.backupFile = maintenance::keepBackup(settings.FcurDir, settings.FDeclarationFileName);
    target.saveToFile();
    result.rowsAdded = added;
    result.message = QStringLiteral("Отчет добавлен: строк %1").arg(added);
    return result;
}

MergeResult replaceDeclaration(const TAppSettings &settings, const QString &fileName)
{
    // Read once: the bytes that were checked are the bytes written, whatever happens to the file meanwhile.
    QFile file;
    openRegularFile(file, fileName);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw KalvorError(
            QStringLiteral("Не удалось прочитать файл %1: %2").arg(fileName, systemReason(file.errorString())));
    file.close();
    TableData replacement;
    readDataPacketBytes(bytes, fileName, replacement);
    QStringList faults = declarationColumnFaults(replacement);
    if (!faults.isEmpty()) {
        // A file of quite another kind lacks every column: the first few say enough.
        constexpr qsizetype kNamed = 4;
        if (faults.size() > kNamed + 1) {
            const qsizetype more = faults.size() - kNamed;
            faults.resize(kNamed);
            faults.append(QStringLiteral("и еще %1").arg(more));
        }
        throw KalvorError(QStringLiteral("Файл %1 не является таблицей декларации: %2. Отчет не заменен.")
                              .arg(fileName, faults.join(QStringLiteral("; "))));
    }

    MergeResult result;
    if (QFileInfo::exists(settings.FDeclarationFileName))
        result.backupFile = maintenance::keepBackup(settings.FcurDir, settings.FDeclarationFileName);
    saveFileAtomically(settings.FDeclarationFileName, bytes);
    result.rowsAdded = static_cast<qint64>(visibleRecordCount(replacement));
    result.message = QStringLiteral("Отчет заменен: строк %1").arg(result.rowsAdded);
    return result;
}

} // namespace kalvor::period
