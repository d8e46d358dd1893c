#include "dbupload/ReportRows.h"

#include "dbupload/Database.h"
#include "dbupload/DbTables.h"
#include "dbupload/Procedures.h"
#include "maintenance/InvoiceLinks.h"
#include "period/FieldText.h"
#include "store/KalvorError.h"
#include "store/TableData.h"
#include "store/TableDump.h"

#include <QSet>

#include <cstdio>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kalvor::dbupload {
namespace {

constexpr std::size_t kInnLength = 12;
constexpr std::size_t kReportKeyLength = 16;
// Key prefix, invoice number and the first digit of the position number: "0" on an invoice row.
constexpr std::size_t kSupplierKeyLength = 25;

int requireKey(const TableData &data, const QString &fileName)
{
    const int field = period::columnIndex(data, u"dkey");
    if (field < 0)
        throw KalvorError(QStringLiteral("В таблице %1 нет поля dkey").arg(fileName));
    return field;
}

// Per database column, the file's column of the same name or -1.
std::vector<int> sourceColumns(const TableData &data, const QList<DbColumn> &columns)
{
    std::vector<int> result;
    for (const DbColumn &column : columns)
        result.push_back(period::columnIndex(data, column.name));
    return result;
}

[[noreturn]] void refuseValue(const QString &fileName, std::string_view key, const DbColumn &column,
                              std::string_view value)
{
    throw KalvorError(QStringLiteral("Файл %1: в строке с ключом %2 значение поля %3 не подходит для базы данных: «%4»")
                          .arg(fileName, QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())),
                               column.name, QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size()))));
}

void addFileCell(DbRowBuffer &rows, const TableData &data, const CellRow &cells, int source,
                 const DbColumn &column, const QString &fileName, std::string_view key)
{
    if (source < 0 || cells[source].isNull()) {
        rows.addNull();
        return;
    }
    const std::string_view value = data.text(cells[source]);
    if (!rows.addFileValue(column.type, value))
        refuseValue(fileName, key, column, value);
}

} // namespace

std::string uploadKey(std::string_view key, UploadPeriod period, bool fillInn)
{
    std::string inn(key.substr(0, std::min(key.size(), kInnLength)));
    if (fillInn && inn.size() < kInnLength)
        inn.append(kInnLength - inn.size(), '0');
    char yymm[24];
    std::snprintf(yymm, sizeof yymm, "%.2d%.2d", period.year, period.month);
    std::string result = inn + yymm;
    if (key.size() > kReportKeyLength)
        result.append(key.substr(kReportKeyLength));
    return result;
}

DeclarationRows declarationRows(const TableData &data, const QString &fileName, UploadPeriod period,
                                bool dropUnlinked)
{
    const int keyField = requireKey(data, fileName);
    const int supplyField = period::columnIndex(data, u"supply_name");
    const std::vector<std::uint32_t> records = visibleRecordsInFileOrder(data);

    // The supplier list: the first invoice row of each 25-character key prefix gives the name. A map
    // rather than a fixed list: any number of invoices.
    std::unordered_map<std::string_view, Cell> suppliers;
    if (supplyField >= 0) {
        for (const std::uint32_t record : records) {
            const CellRow cells = data.recordCells(record);
            const std::string_view key = data.text(cells[keyField]);
            if (maintenance::InvoiceLinks::isInvoiceKey(key))
                suppliers.emplace(key.substr(0, kSupplierKeyLength), cells[supplyField]);
        }
    }
    std::optional<maintenance::InvoiceLinks> links;
    if (dropUnlinked)
        links.emplace(data, keyField);

    const QList<DbColumn> &columns = declarationColumns();
    const std::vector<int> sources = sourceColumns(data, columns);
    DeclarationRows result{DbRowBuffer(QString::fromLatin1(kDeclarationTable), columns), 0};
    result.rows.reserve(records.size(), data.textBytes());
    for (const std::uint32_t record : records) {
        const CellRow cells = data.recordCells(record);
        const std::string_view key = data.text(cells[keyField]);
        if (links && !links->isLinked(key)) {
            ++result.unlinkedDropped;
            continue;
        }
        std::optional<Cell> supplier;
        if (supplyField >= 0 && !maintenance::InvoiceLinks::isInvoiceKey(key)) {
            const auto found = suppliers.find(key.substr(0, std::min(key.size(), kSupplierKeyLength)));
            if (found != suppliers.end())
                supplier = found->second;
        }
        for (int c = 0; c < columns.size(); ++c) {
            const int source = sources[static_cast<std::size_t>(c)];
            if (source == keyField) {
                result.rows.add(uploadKey(key, period, false));
            } else if (source == supplyField && supplier) {
                if (supplier->isNull())
                    result.rows.addNull();
                else
                    result.rows.add(data.text(*supplier));
            } else {
                addFileCell(result.rows, data, cells, source, columns[c], fileName, key);
            }
        }
    }
    return result;
}

DbRowBuffer kalvorRows(const TableData &data, const QString &fileName, UploadPeriod period)
{
    const int keyField = requireKey(data, fileName);
    const QList<DbColumn> &columns = kalvorColumns();
    const std::vector<int> sources = sourceColumns(data, columns);
    DbRowBuffer rows(QString::fromLatin1(kKalvorTable), columns);
    for (const std::uint32_t record : visibleRecordsInFileOrder(data)) {
        const CellRow cells = data.recordCells(record);
        const std::string_view key = data.text(cells[keyField]);
        for (int c = 0; c < columns.size(); ++c) {
            const int source = sources[static_cast<std::size_t>(c)];
            if (source == keyField)
                rows.add(uploadKey(key, period, true));
            else
                addFileCell(rows, data, cells, source, columns[c], fileName, key);
        }
    }
    return rows;
}

QStringList reportKeys(const DbRowBuffer &rows)
{
    int keyColumn = -1;
    for (int c = 0; c < rows.columnCount(); ++c)
        if (rows.columns()[c].name == u"dkey")
            keyColumn = c;
    QStringList keys;
    if (keyColumn < 0)
        return keys;
    QSet<QString> seen;
    for (std::size_t r = 0; r < rows.rowCount(); ++r) {
        const std::string_view key = rows.value(r, keyColumn).value_or(std::string_view());
        const QString reportKey =
            QString::fromUtf8(key.data(), static_cast<qsizetype>(std::min(key.size(), kReportKeyLength)));
        if (!seen.contains(reportKey)) {
            seen.insert(reportKey);
            keys.append(reportKey);
        }
    }
    return keys;
}

void replaceRows(Database &db, const DbRowBuffer &rows)
{
    const QString &procedure = rows.table() == QLatin1String(kDeclarationTable) ? procedures::DELETE_OLD_DECLARATION
                                                                               : procedures::DELETE_OLD_KALVOR;
    if (rows.table() != QLatin1String(kDeclarationTable) && rows.table() != QLatin1String(kKalvorTable))
        throw KalvorError(QStringLiteral("Таблица %1 не принимает отчеты").arg(rows.table()));
    for (const QString &key : reportKeys(rows))
        db.execute(procedure, {key});
    db.copyRows(rows.table(), rows);
}

} // namespace kalvor::dbupload
