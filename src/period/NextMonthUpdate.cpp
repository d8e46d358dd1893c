#include "period/NextMonthUpdate.h"

#include "app/PeriodSwitch.h"
#include "app/TAppSettings.h"
#include "maintenance/Backup.h"
#include "period/CarryOver.h"
#include "period/FieldText.h"
#include "store/ColumnCopy.h"
#include "store/DeclarationKey.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "store/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <string>
#include <string_view>
#include <unordered_map>

namespace kalvor::period {

namespace {

QString noDeclaration(const QString &periodString)
{
    return QStringLiteral("Декларации за период %1 нет: сначала создайте ее командой "
                          "«Создать отчет и загрузить остатки».")
        .arg(periodString);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

double decimalOf(std::string_view text)
{
    return valuetext::parseDecimal(text).value_or(0.0);
}

// The pass's view of the month being updated: its visible rows by key, the columns it changes.
class MonthRows final {
public:
    explicit MonthRows(Table &table) : m_table(table)
    {
        m_key = table.requireField(u"dkey");
        m_rest = table.requireField(u"rest");
        m_restVolume = table.requireField(u"rest_volume");
        m_product = table.requireField(u"production_name");
        m_waybill = table.requireField(u"ttn_numer");
        table.setIndexFieldNames(QStringLiteral("dkey"));
        for (int i = 0; i < table.recordCount(); ++i)
            m_byKey.emplace(std::string(table.row(i).utf8(m_key)), i);
    }

    // -1 when the month has no row with this key.
    int find(const std::string &key) const
    {
        const auto it = m_byKey.find(key);
        return it == m_byKey.end() ? -1 : it->second;
    }
    // The row describes this product (positions and transfers) or this waybill (invoices).
    bool sameItem(int index, bool invoice, std::string_view identity) const
    {
        const RowView row = m_table.row(index);
        return trimmed(row.utf8(invoice ? m_waybill : m_product)) == trimmed(identity);
    }
    // Sets the opening remains; `rest` moves by the difference. False when the row already opens so.
    bool setOpening(int index, double opening)
    {
        const RowView row = m_table.row(index);
        const std::string text = valuetext::formatDecimal(opening, m_table.field(m_restVolume).decimals);
        if (!row.isNull(m_restVolume) && decimalOf(row.utf8(m_restVolume)) == decimalOf(text))
            return false;
        const double difference = opening - decimalOf(row.utf8(m_restVolume));
        const std::string rest =
            valuetext::formatDecimal(decimalOf(row.utf8(m_rest)) + difference, m_table.field(m_rest).decimals);
        m_table.setRecNo(index + 1);
        m_table.edit();
        m_table.setStoredText(m_restVolume, text);
        m_table.setStoredText(m_rest, rest);
        m_table.post();
        return true;
    }

private:
    Table &m_table;
    int m_key = -1;
    int m_rest = -1;
    int m_restVolume = -1;
    int m_product = -1;
    int m_waybill = -1;
    std::unordered_map<std::string, int> m_byKey;
};

KalvorError otherItem(const NextMonthUpdatePlan &plan, std::string_view key, bool invoice)
{
    return KalvorError(QStringLiteral("В декларации за период %1 строка %2 описывает %3, чем строка с тем же "
                                      "номером за период %4. Остатки не обновлены.")
                           .arg(plan.periodString, QString::fromUtf8(key.data(), qsizetype(key.size())),
                                invoice ? QStringLiteral("другую накладную") : QStringLiteral("другой товар"),
                                plan.previousPeriodString));
}

} // namespace

NextMonthUpdatePlan planNextMonthUpdate(const TAppSettings &settings, int year, int month)
{
    if (month < 1 || month > 12 || year < 0 || year > 99)
        throw KalvorError(QString::fromUtf8(kIncompletePeriodMessage));
    NextMonthUpdatePlan plan;
    plan.year = year;
    plan.month = month;
    plan.periodString = periodString(year, month);
    const auto [previousYear, previousMonth] = previousPeriod(year, month);
    plan.previousPeriodString = periodString(previousYear, previousMonth);
    plan.previousTable = filesInFolder(periodFolder(settings.FcurDir, plan.previousPeriodString)).declarationFileName;
    if (plan.previousTable.isEmpty())
        throw KalvorError(noDeclaration(plan.previousPeriodString));
    plan.declarationFileName = filesInFolder(periodFolder(settings.FcurDir, plan.periodString)).declarationFileName;
    if (plan.declarationFileName.isEmpty())
        throw KalvorError(noDeclaration(plan.periodString));
    plan.templateFileName = settings.FcurDir + QStringLiteral("templates/xml/declaration.xml");
    if (!QFileInfo(plan.templateFileName).isFile())
        throw KalvorError(
            QStringLiteral("Не найден шаблон декларации: %1").arg(QDir::toNativeSeparators(plan.templateFileName)));
    plan.updatedFile = settings.FcurDir + QStringLiteral("temp/") +
                       QFileInfo(plan.declarationFileName).completeBaseName() + QStringLiteral("u.xml");
    return plan;
}

NextMonthUpdateSummary updateNextMonthRemains(const NextMonthUpdatePlan &plan, const QString &versionText,
                                              const Progress &progress, bool write)
{
    CarryOverPlan carry;
    carry.year = plan.year;
    carry.month = plan.month;
    carry.periodString = plan.periodString;
    carry.previousTable = plan.previousTable;
    carry.templateFileName = plan.templateFileName;
    const CarriedRemains carried = carryRemains(carry, versionText, progress);

    Table month(plan.declarationFileName);
    month.open();
    MonthRows rows(month);
    NextMonthUpdateSummary summary;

    // Openings first, while the row numbers still hold; the rows the month lacks are added after.
    const TableData &table = carried.table;
    const int key = columnIndex(table, u"dkey");
    const int restVolume = columnIndex(table, u"rest_volume");
    const int product = columnIndex(table, u"production_name");
    const int waybill = columnIndex(table, u"ttn_numer");
    std::vector<std::uint32_t> missing;
    for (std::uint32_t r = 0; r < table.recordCount(); ++r) {
        const CellRow cells = table.recordCells(r);
        const std::string rowKey(table.text(cells[key]));
        const bool invoice = dkey::kindOf(std::string_view(rowKey)) == dkey::KeyKind::Invoice;
        const int index = rows.find(rowKey);
        if (index < 0) {
            missing.push_back(r);
            continue;
        }
        if (!rows.sameItem(index, invoice, table.text(cells[invoice ? waybill : product])))
            throw otherItem(plan, rowKey, invoice);
        if (!invoice && rows.setOpening(index, decimalOf(table.text(cells[restVolume]))))
            ++summary.rowsChanged;
        if (progress.isCancelled())
            throw KalvorError(QStringLiteral("Обновление остатков прервано."));
    }
    // A row left behind now that its remains are gone opens the month with none, unless its number
    // was given to another product of this month.
    for (const CarriedRemains::DroppedRow &dropped : carried.dropped) {
        const int index = rows.find(dropped.key);
        if (index >= 0 && rows.sameItem(index, false, dropped.productionName) && rows.setOpening(index, 0.0))
            ++summary.rowsChanged;
    }

    if (!missing.empty()) {
        month.setIndexFieldNames(QString());
        std::vector<int> source(static_cast<std::size_t>(month.fieldCount()), -1);
        for (int f = 0; f < month.fieldCount(); ++f)
            source[static_cast<std::size_t>(f)] = columnIndex(table, month.field(f).name);
        for (const std::uint32_t r : missing) {
            const CellRow cells = table.recordCells(r);
            month.append();
            for (int f = 0; f < month.fieldCount(); ++f) {
                const int s = source[static_cast<std::size_t>(f)];
                if (s < 0 || cells[s].isNull())
                    continue;
                const std::string_view text = table.text(cells[s]);
                const auto value = convertStoredText(table.fields[s], text, month.field(f));
                if (!value)
                    throw unconvertibleValue(plan.declarationFileName, table.text(cells[key]), month.field(f), text);
                month.setStoredText(f, *value);
            }
            month.post();
            ++summary.rowsAdded;
        }
    }

    if (write && !summary.upToDate()) {
        QDir().mkpath(QFileInfo(plan.updatedFile).absolutePath());
        month.saveToFile(plan.updatedFile);
    }
    return summary;
}

void installNextMonthUpdate(const TAppSettings &settings, const NextMonthUpdatePlan &plan)
{
    struct RemoveUpdated {
        const QString &file;
        ~RemoveUpdated() { QFile::remove(file); }
    } removeUpdated{plan.updatedFile};
    if (!QFileInfo(plan.updatedFile).isFile())
        throw KalvorError(QStringLiteral("Не найден файл обновленной декларации: %1")
                              .arg(QDir::toNativeSeparators(plan.updatedFile)));
    maintenance::keepBackup(settings.FcurDir, plan.declarationFileName);
    copyFileAtomically(plan.updatedFile, plan.declarationFileName);
}

} // namespace kalvor::period
