#include "refbooks/RefBooks.h"

#include "store/KalvorError.h"
#include "store/Table.h"

#include <QFileInfo>

#include <algorithm>

namespace kalvor {
namespace {

FieldDef textField(const char *name, int width)
{
    return FieldDef{QString::fromLatin1(name), "string", FieldKind::String, {}, width, 0, {}};
}

FieldDef typedField(const char *name, const char *type, FieldKind kind, int width = 0, int decimals = 0)
{
    return FieldDef{QString::fromLatin1(name), type, kind, {}, width, decimals, {}};
}

} // namespace

QString refBookTitle(RefBook book)
{
    switch (book) {
    case RefBook::Supplier: return QStringLiteral("Поставщики");
    case RefBook::ProductionReference: return QStringLiteral("Продукция");
    case RefBook::DepartmentCode: return QStringLiteral("Обособленные подразделения");
    case RefBook::Regions: return QStringLiteral("Регионы");
    case RefBook::KindProduction: return QStringLiteral("Виды продукции");
    }
    return {};
}

QString refBookOrder(RefBook book)
{
    switch (book) {
    case RefBook::Supplier: return QStringLiteral("name");
    case RefBook::ProductionReference: return QStringLiteral("production_name");
    default: return QStringLiteral("code");
    }
}

QList<FieldDef> refBookFields(RefBook book)
{
    // Widths follow the declaration columns the values are copied into.
    switch (book) {
    case RefBook::Supplier:
        return {textField("name", 50), textField("license", 50), typedField("license_date", "dateTime", FieldKind::DateTime),
                textField("loading_address", 50)};
    case RefBook::ProductionReference:
        return {textField("production_name", 70), textField("production_number", 50),
                typedField("production_code", "i2", FieldKind::Integer), textField("producer_name", 50),
                typedField("region_code", "i2", FieldKind::Integer), typedField("alcohol", "fixed", FieldKind::Fixed, 6, 2),
                typedField("package_volume", "fixed", FieldKind::Fixed, 19, 3)};
    case RefBook::DepartmentCode:
        return {textField("code", 30), textField("address", 100)};
    case RefBook::Regions:
    case RefBook::KindProduction:
        return {typedField("code", "i2", FieldKind::Integer), textField("name", 100)};
    }
    return {};
}

bool refBookEditable(RefBook book)
{
    return book == RefBook::Supplier || book == RefBook::ProductionReference || book == RefBook::DepartmentCode;
}

QString openRefBook(Table &table, const QString &fileName, RefBook book)
{
    table.setFileName(fileName);
    table.setIndexFieldNames(refBookOrder(book));
    const QString title = refBookTitle(book);
    if (!QFileInfo::exists(fileName)) {
        const QString consequence = refBookEditable(book)
            ? QStringLiteral("Список пуст; первая добавленная запись создаст файл заново.")
            : QStringLiteral("Список пуст. Справочник поставляется с программой и будет восстановлен при её следующем запуске.");
        return QStringLiteral("Не найден файл справочника «%1»:\n%2\n%3").arg(title, fileName, consequence);
    }
    try {
        table.open();
        table.requireField(refBookOrder(book));
    } catch (const KalvorError &error) {
        table.close();
        return QStringLiteral("Справочник «%1» не удалось прочитать, список пуст.\n%2").arg(title, error.message());
    }
    return {};
}

void createRefBookIfMissing(const QString &fileName, RefBook book)
{
    if (QFileInfo::exists(fileName))
        return;
    Table empty;
    empty.createEmpty(refBookFields(book));
    empty.saveToFile(fileName);
}

bool canEditOrDelete(const Table &table) { return table.isActive() && !table.isEmpty(); }

void beginEntry(Table &entry, const QString &fileName, RefBook book, EntryMode mode, int recNo)
{
    if (mode == EntryMode::Add && refBookEditable(book))
        createRefBookIfMissing(fileName, book);
    entry.setFileName(fileName);
    entry.setIndexFieldNames(refBookOrder(book));
    entry.open();
    if (mode == EntryMode::Add) {
        entry.insert();
        return;
    }
    if (recNo < 1 || recNo > entry.recordCount())
        throw KalvorError(QStringLiteral("Запись для изменения не найдена в файле %1").arg(fileName));
    entry.setRecNo(recNo);
    entry.edit();
}

int saveEntry(Table &entry)
{
    entry.saveToFile();
    return entry.recNo();
}

void reopenAt(Table &table, int recNo)
{
    table.close();
    table.open();
    if (!table.isEmpty())
        table.setRecNo(std::clamp(recNo, 1, table.recordCount()));
}

void deleteCurrentEntry(Table &table)
{
    const int recNo = table.recNo();
    table.remove();
    table.saveToFile();
    reopenAt(table, recNo);
}

QString departmentLimitMessage(qint64 departmentCount)
{
    return QStringLiteral("Нельзя добавить подразделений больше чем указано в реквизитах - ") + QString::number(departmentCount);
}

QString departmentLimitRefusal(int subdivisions, qint64 departmentCount)
{
    return subdivisions >= departmentCount ? departmentLimitMessage(departmentCount) : QString();
}

qint64 departmentCountOf(const Table &kalvor)
{
    if (!kalvor.isActive() || kalvor.isEmpty())
        return 0;
    return kalvor.row(0).asInteger(kalvor.requireField(u"department_count"));
}

const QStringList &productionEntryFields()
{
    static const QStringList fields = {
        QStringLiteral("production_name"), QStringLiteral("production_number"), QStringLiteral("production_code"),
        QStringLiteral("producer_name"),   QStringLiteral("region_code"),       QStringLiteral("alcohol"),
        QStringLiteral("package_volume"),
    };
    return fields;
}

void copyProductionEntry(const RowView &source, Table &entry)
{
    for (const QString &name : productionEntryFields()) {
        const int from = source.fieldIndex(name);
        const int to = entry.requireField(name);
        if (from < 0 || source.isNull(from))
            entry.setNull(to);
        else
            entry.setStoredText(to, source.utf8(from));
    }
}

bool referenceHasCode(const Table &reference, const QString &code)
{
    if (!reference.isActive() || code.isEmpty())
        return false;
    const int field = reference.fieldIndex(u"code");
    if (field < 0)
        return false;
    for (int i = 0; i < reference.recordCount(); ++i)
        if (reference.row(i).asString(field) == code)
            return true;
    return false;
}

ProductionEntryCheck checkProductionEntry(const RowView &entry, const Table &kinds, const Table &regions)
{
    const auto blank = [&entry](const char *name) {
        const int field = entry.fieldIndex(QString::fromLatin1(name));
        return field < 0 || entry.isNull(field) || entry.asString(field).trimmed().isEmpty();
    };
    const auto code = [&entry](const char *name) {
        const int field = entry.fieldIndex(QString::fromLatin1(name));
        return field < 0 || entry.isNull(field) ? QString() : entry.asString(field);
    };
    ProductionEntryCheck check;
    check.productionNameEmpty = blank("production_name");
    check.producerNameEmpty = blank("producer_name");
    check.packageVolumeWrong = blank("package_volume") || entry.asFloat(entry.fieldIndex(u"package_volume")) <= 0;
    check.kindUnknown = !referenceHasCode(kinds, code("production_code"));
    check.regionUnknown = !referenceHasCode(regions, code("region_code"));
    return check;
}

} // namespace kalvor
