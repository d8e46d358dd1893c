#include "editing/PositionEditing.h"

#include "editing/Balance.h"
#include "editing/HighlightRules.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QLocale>

#include <cmath>

namespace kalvor::position {
namespace {

bool present(const RowView &row, QStringView name) { return rowcheck::isPresent(row, name); }

double value(const RowView &row, QStringView name) { return rowcheck::numberOrZero(row, name); }

bool negative(const RowView &row, QStringView name) { return present(row, name) && value(row, name) < 0; }

} // namespace

int lastPositionNumber(const Table &positions)
{
    if (!positions.isActive() || positions.recordCount() == 0)
        return 0;
    const QString key = positions.row(positions.recordCount() - 1).asString(positions.requireField(u"dkey"));
    if (key.isEmpty())
        return 0;
    const int number = dkey::positionNumber(key);
    if (number < 0)
        throw KalvorError(QStringLiteral("Неверный ключ записи декларации: «%1»").arg(key));
    return number;
}

QString newPositionKey(const Table &positions, QStringView invoiceKey)
{
    return dkey::nextPositionKey(invoiceKey, lastPositionNumber(positions));
}

void calculateSomeFields(Table &table, RowKind kind)
{
    // Each result is stored before the next step reads it, so the remains are the sum of the values as
    // saved and shown, not of unrounded intermediates.
    const auto row = [&table] { return table.currentRow(); };
    if (kind == RowKind::Position) {
        if (present(row(), u"package_volume") && present(row(), u"package_count"))
            table.setFloat(u"volume", value(row(), u"package_volume") * value(row(), u"package_count"));
        if (present(row(), u"package_count") && present(row(), u"purches_price"))
            table.setFloat(u"sum_coming", value(row(), u"purches_price") * value(row(), u"package_count") / 1000);
    }
    if (present(row(), u"package_volume") && present(row(), u"package_count_charges"))
        table.setFloat(u"volume_charges", value(row(), u"package_count_charges") * value(row(), u"package_volume"));
    if (present(row(), u"markup") && present(row(), u"package_count_charges"))
        table.setFloat(u"sum_charges", value(row(), u"package_count_charges") * value(row(), u"markup") / 1000);
    storeBalanceRest(table);
}

std::optional<double> restVolumeInPackages(const RowView &row)
{
    if (!present(row, u"rest_volume") || !present(row, u"package_volume"))
        return std::nullopt;
    const double package = value(row, u"package_volume");
    // A package of no volume gives no count rather than an infinite one.
    if (package == 0)
        return std::nullopt;
    return value(row, u"rest_volume") / package;
}

QString restVolumeInPackagesText(const RowView &row)
{
    const std::optional<double> pieces = restVolumeInPackages(row);
    if (!pieces)
        return {};
    return QLocale::c().toString(*pieces, 'f', QLocale::FloatingPointShortest).replace(u'.', u',');
}

const QStringList &referenceFields()
{
    static const QStringList fields{QStringLiteral("production_name"), QStringLiteral("production_number"),
                                    QStringLiteral("production_code"), QStringLiteral("producer_name"),
                                    QStringLiteral("region_code"),     QStringLiteral("alcohol"),
                                    QStringLiteral("package_volume")};
    return fields;
}

const QStringList &copiedFields()
{
    static const QStringList fields{QStringLiteral("production_name"), QStringLiteral("production_number"),
                                    QStringLiteral("production_code"), QStringLiteral("producer_name"),
                                    QStringLiteral("region_code"),     QStringLiteral("department_code"),
                                    // The alcohol entry is hidden: a copy without it could never get one.
                                    QStringLiteral("alcohol"),         QStringLiteral("package_volume")};
    return fields;
}

const QStringList &invoiceFields()
{
    static const QStringList fields{QStringLiteral("supply_name"), QStringLiteral("ttn_numer"),
                                    QStringLiteral("ttn_date")};
    return fields;
}

void copyFields(const RowView &from, Table &to, const QStringList &fields)
{
    for (const QString &name : fields) {
        const int source = from.fieldIndex(name);
        const int target = to.fieldIndex(name);
        if (source < 0 || target < 0)
            continue;
        if (from.isNull(source))
            to.setNull(target);
        else
            to.setStoredText(target, from.utf8(source));
    }
}

void completeNewPosition(Table &position, const RowView &invoice)
{
    copyFields(invoice, position, invoiceFields());
    position.setFloat(u"other_charges", 0);
}

bool productionNumberFormatAccepted(QStringView text)
{
    const qsizetype length = text.size();
    return length % 8 == 0 || (length >= 8 && (length - 8) % 9 == 0);
}

bool productionNumberCharAccepted(QChar c)
{
    return c.isDigit() || c == u',' || c == u'.' || c == u'/' || c == u';';
}

bool packageCountSuspicious(const RowView &row)
{
    return !present(row, u"package_count") || value(row, u"package_count") > 1000 || value(row, u"package_count") < 0;
}

const QStringList &checkedFields()
{
    static const QStringList fields{
        QStringLiteral("production_name"),       QStringLiteral("production_number"),
        QStringLiteral("producer_name"),         QStringLiteral("package_count"),
        QStringLiteral("package_volume"),        QStringLiteral("purches_price"),
        QStringLiteral("return_volume"),         QStringLiteral("package_count_charges"),
        QStringLiteral("markup"),                QStringLiteral("return_volume_charges"),
        QStringLiteral("writeoff_volume_charges"), QStringLiteral("rest_volume"),
        QStringLiteral("department_code"),       QStringLiteral("region_code"),
        QStringLiteral("rest"),                  QStringLiteral("sum_coming"),
        QStringLiteral("production_code")};
    return fields;
}

PositionCheck checkPosition(const RowView &row, bool newPosition, bool kindKnown)
{
    PositionCheck check;
    // The entry mark: typed entries white, empty ones in the warning colour.
    for (const QString &name : {QStringLiteral("production_name"), QStringLiteral("production_number"),
                                QStringLiteral("producer_name"), QStringLiteral("package_count"),
                                QStringLiteral("package_volume"), QStringLiteral("purches_price"),
                                QStringLiteral("return_volume"), QStringLiteral("package_count_charges"),
                                QStringLiteral("markup"), QStringLiteral("return_volume_charges"),
                                QStringLiteral("writeoff_volume_charges"), QStringLiteral("rest_volume")})
        if (!present(row, name))
            check.warned << name;
    for (const QString &name : {QStringLiteral("department_code"), QStringLiteral("region_code")})
        if (!present(row, name))
            check.warned << name;
    // Quantities and the two computed displays may not be negative either. A negative write-off would
    // add to the remains, so it is refused as well.
    const QStringList notNegative{QStringLiteral("rest_volume"),           QStringLiteral("purches_price"),
                                  QStringLiteral("package_volume"),        QStringLiteral("package_count"),
                                  QStringLiteral("return_volume_charges"), QStringLiteral("return_volume"),
                                  QStringLiteral("package_count_charges"), QStringLiteral("writeoff_volume_charges")};
    for (const QString &name : notNegative)
        if (negative(row, name))
            check.warned << name;
    for (const QString &name : {QStringLiteral("rest"), QStringLiteral("sum_coming")})
        if (!present(row, name) || negative(row, name))
            check.warned << name;

    for (const QString &name : notNegative + QStringList{QStringLiteral("sum_coming"), QStringLiteral("rest")})
        if (negative(row, name))
            check.missingOrNegative = true;
    for (const QString &name :
         {QStringLiteral("production_name"), QStringLiteral("production_number"), QStringLiteral("producer_name"),
          QStringLiteral("package_count"), QStringLiteral("package_count_charges"), QStringLiteral("package_volume"),
          QStringLiteral("purches_price"), QStringLiteral("return_volume"), QStringLiteral("return_volume_charges"),
          QStringLiteral("writeoff_volume_charges"), QStringLiteral("rest_volume"), QStringLiteral("region_code"),
          QStringLiteral("production_code")})
        if (!present(row, name))
            check.missingOrNegative = true;

    if (newPosition && present(row, u"production_number")) {
        const int field = row.fieldIndex(u"production_number");
        check.dateFormatRefused = !productionNumberFormatAccepted(row.asString(field));
        if (check.dateFormatRefused)
            check.warned << QStringLiteral("production_number");
    }
    check.kindUnknown = !kindKnown;
    if (check.kindUnknown)
        check.warned << QStringLiteral("production_code");
    return check;
}

const QStringList &positionQuantities()
{
    static const QStringList fields{QStringLiteral("rest_volume"),           QStringLiteral("return_volume"),
                                    QStringLiteral("package_count"),         QStringLiteral("package_count_charges"),
                                    QStringLiteral("return_volume_charges"), QStringLiteral("writeoff_volume_charges")};
    return fields;
}

const QStringList &transferQuantities()
{
    static const QStringList fields{QStringLiteral("rest_volume"), QStringLiteral("package_count_charges"),
                                    QStringLiteral("return_volume_charges"), QStringLiteral("writeoff_volume_charges")};
    return fields;
}

int zeroEmptyQuantities(Table &row, const QStringList &fields)
{
    int written = 0;
    for (const QString &name : fields) {
        const int field = row.fieldIndex(name);
        if (field < 0 || present(row.currentRow(), name))
            continue;
        if (row.state() == Table::State::Browse)
            row.edit();
        row.setString(field, QStringLiteral("0"));
        ++written;
    }
    return written;
}

} // namespace kalvor::position
