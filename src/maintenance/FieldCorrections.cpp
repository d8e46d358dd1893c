#include "maintenance/FieldCorrections.h"

#include "app/Startup.h"
#include "app/TAppSettings.h"
#include "maintenance/Backup.h"
#include "maintenance/TextFiles.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "store/ValueText.h"

#include <QDir>
#include <QFile>

#include <cmath>
#include <string>

namespace kalvor::maintenance {

namespace {

QString replacementsMessage(qint64 count)
{
    return QStringLiteral("Количество замен: ") + QString::number(count);
}

// One pass over the declaration in key order. `perRow` changes the current row through RowEditor and
// returns what it adds to the counter. Only rows whose values really change are edited, so the change
// log does not gain an entry for every row of a large declaration.
class RowEditor final {
public:
    explicit RowEditor(Table &table) : m_table(table) {}

    int field(QStringView name) const { return m_table.requireField(name); }
    bool isNull(int f) const { return m_table.isNull(f); }
    QString text(int f) const { return m_table.asString(f); }
    double number(int f) const { return m_table.asFloat(f); }
    qint64 integer(int f) const { return m_table.asInteger(f); }
    std::string_view stored(int f) const { return m_table.currentRow().utf8(f); }

    // Stored text, NULL for a null optional. Text columns take "" and NULL as the same empty value.
    void store(int f, const std::optional<std::string> &value)
    {
        const bool wasNull = m_table.isNull(f);
        const bool isText = m_table.field(f).kind == FieldKind::String;
        const std::string_view old = m_table.currentRow().utf8(f);
        if (value) {
            if (!wasNull && old == *value)
                return;
            if (wasNull && isText && value->empty())
                return;
        } else if (wasNull || (isText && old.empty())) {
            return;
        }
        if (m_table.state() == Table::State::Browse)
            m_table.edit();
        m_table.setStoredText(f, value ? std::string_view(*value) : std::string_view(), !value);
    }
    void storeDecimal(int f, double value) { store(f, valuetext::formatDecimal(value, m_table.field(f).decimals)); }
    void storeInteger(int f, qint64 value) { store(f, valuetext::formatInteger(value)); }
    void storeText(int f, const QString &value) { store(f, value.toStdString()); }

private:
    Table &m_table;
};

template <typename PerRow>
MaintenanceResult correctRows(const TAppSettings &settings, PerRow perRow)
{
    Table table(settings.FDeclarationFileName);
    table.open();
    table.setIndexFieldNames(QStringLiteral("dkey"));
    RowEditor editor(table);
    qint64 count = 0;
    for (table.first(); !table.eof(); table.next()) {
        count += perRow(editor);
        if (table.state() != Table::State::Browse)
            table.post();
    }
    QString backup;
    if (table.isModified()) {
        backup = keepBackup(settings.FcurDir, settings.FDeclarationFileName);
        table.saveToFile();
    }
    return {replacementsMessage(count), count, backup};
}

struct RegionFragment {
    const char16_t *fragment;
    int code;
};

// Tested in this order: the first fragment found decides.
constexpr RegionFragment kRegionFragments[] = {
    {u"Адыгея", 1},       {u"Башкортостан", 2},   {u"Бурятия", 3},        {u"Дагестан", 5},
    {u"Ингушетия", 6},    {u"Черкесск", 9},       {u"Беслан", 15},        {u"Вымпел", 15},
    {u"Владикавказ", 15}, {u"Татарстан", 16},     {u"Чечен", 20},         {u"Краснод", 23},
    {u"Русская лоза", 23}, {u"Кубан", 23},        {u"Ставроп", 26},       {u"Бутурлин", 36},
    {u"Воронеж", 36},     {u"Калининград", 39},   {u"Калуж", 40},         {u"Ленинград", 47},
    {u"С-Петербург", 47}, {u"С-Перетбург", 47},   {u"Омск", 55},          {u"Орлов", 57},
    {u"Ростов", 61},      {u"Рязань", 62},        {u"Саратов", 64},       {u"Ликсар", 64},
    {u"Ульяновск", 73},   {u"Московская область", 90}, {u"Моск.обл.", 90}, {u"Москов", 97},
    {u"Москва", 97},      {u"Очаково", 97},       {u"Корнет", 97},
};

} // namespace

std::optional<int> convertedKindCode(qint64 oldCode)
{
    switch (oldCode) {
    case 3:
    case 4:
    case 7:
        return 6;
    case 8:
        return 3;
    case 9:
        return 7;
    case 10:
        return 4;
    case 11:
        return 8;
    case 12:
        return 2;
    default:
        return std::nullopt;
    }
}

MaintenanceResult convertKindProduction(TAppSettings &settings)
{
    if (isPeriodConverted(settings.FIniFile, settings.FPeriodString))
        throw KalvorError(QStringLiteral("Виды продукции за период %1 уже конвертированы").arg(settings.FPeriodString));
    MaintenanceResult result = correctRows(settings, [](RowEditor &row) -> qint64 {
        const int code = row.field(u"production_code");
        if (row.isNull(code))
            return 0;
        const std::optional<int> converted = convertedKindCode(row.integer(code));
        if (!converted)
            return 0;
        row.storeInteger(code, *converted);
        return 1;
    });
    settings.FIniFile.writeString(settings.FPeriodString, config::kConverted, QStringLiteral("1"));
    return result;
}

MaintenanceResult recomputePurchases(const TAppSettings &settings)
{
    return correctRows(settings, [](RowEditor &row) -> qint64 {
        // An empty volume counts as 0; it is not written into rows that never had one (invoice rows).
        const double packageVolume = row.number(row.field(u"package_volume"));
        const double volume = row.number(row.field(u"volume"));
        qint64 count = 0;
        if (packageVolume != 0) {
            const double sold = row.number(row.field(u"volume_charges"));
            row.storeInteger(row.field(u"package_count_charges"), std::llround(sold / packageVolume));
            ++count;
        }
        if (volume != 0 && packageVolume != 0) {
            const double packages = volume / packageVolume;
            const int sumField = row.field(u"sum_coming");
            const double sum = row.number(sumField);
            row.storeDecimal(row.field(u"purches_price"), sum / packages);
            row.storeDecimal(sumField, sum / 1000);
            ++count;
        }
        return count;
    });
}

int regionForProducer(const QString &producerName)
{
    if (producerName.isEmpty())
        return 0;
    for (const RegionFragment &r : kRegionFragments)
        if (producerName.contains(QStringView(r.fragment)))
            return r.code;
    return 0;
}

MaintenanceResult fillRegions(const TAppSettings &settings)
{
    return correctRows(settings, [](RowEditor &row) -> qint64 {
        row.storeInteger(row.field(u"region_code"), regionForProducer(row.text(row.field(u"producer_name"))));
        return 1;
    });
}

MaintenanceResult clearTransferFigures(const TAppSettings &settings)
{
    return correctRows(settings, [](RowEditor &row) -> qint64 {
        const std::string_view key = row.stored(row.field(u"dkey"));
        if (key.size() < 2 || key.substr(key.size() - 2) != "00")
            return 0;
        row.storeDecimal(row.field(u"other_coming"), 0);
        row.storeText(row.field(u"department_code_inner"), QString());
        row.storeDecimal(row.field(u"other_charges"), 0);
        row.storeText(row.field(u"department_code_inner_charges"), QString());
        return 1;
    });
}

QString waybillMappingFile(const QString &curDir)
{
    return QDir(curDir).filePath(QStringLiteral("data/default1.txt"));
}

QString GetRightString(const QString &line)
{
    const qsizetype tab = line.indexOf(u'\t');
    return tab < 0 ? line : line.mid(tab + 1);
}

WaybillMapping WaybillMapping::fromText(const QString &text)
{
    WaybillMapping mapping;
    for (const QString &line : textLines(text)) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            continue;
        // The old number runs to the next tab or to the end of the line: a plain two-column line maps too.
        const QString rest = GetRightString(line);
        const QString old = rest.left(rest.indexOf(u'\t') < 0 ? rest.size() : rest.indexOf(u'\t'));
        if (old.isEmpty() || mapping.m_map.contains(old))
            continue; // the first line for a number decides
        if (line.contains(kWaybillExclusionMarker))
            mapping.m_map.insert(old, std::nullopt);
        else
            mapping.m_map.insert(old, line.left(tab));
    }
    return mapping;
}

WaybillMapping WaybillMapping::load(const QString &fileName)
{
    QFile file;
    try {
        openRegularFile(file, fileName);
    } catch (const KalvorError &) {
        return {};
    }
    return fromText(decodeText(file.readAll()));
}

QString WaybillMapping::getFile(const QString &old) const
{
    const auto it = m_map.constFind(old);
    return it == m_map.cend() || !it.value() ? old : *it.value();
}

MaintenanceResult replaceWaybillNumbers(const TAppSettings &settings)
{
    const WaybillMapping mapping = WaybillMapping::load(waybillMappingFile(settings.FcurDir));
    return correctRows(settings, [&mapping](RowEditor &row) -> qint64 {
        const int field = row.field(u"ttn_numer");
        if (!row.isNull(field))
            row.storeText(field, mapping.getFile(row.text(field)));
        return 1;
    });
}

} // namespace kalvor::maintenance
