#include "editing/TransferEditing.h"

#include "editing/Balance.h"
#include "editing/DeclarationViews.h"
#include "editing/HighlightRules.h"
#include "editing/PositionEditing.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QLocale>

#include <cmath>

namespace kalvor::transfer {
namespace {

bool present(const RowView &row, QStringView name) { return rowcheck::isPresent(row, name); }

double value(const RowView &row, QStringView name) { return rowcheck::numberOrZero(row, name); }

QString keyOf(const RowView &row)
{
    const int field = row.fieldIndex(u"dkey");
    return field < 0 ? QString() : row.asString(field);
}

} // namespace

bool isTransferOf(const RowView &row, QStringView positionKey)
{
    const int field = row.fieldIndex(u"dkey");
    if (field < 0 || row.isNull(field))
        return false;
    return viewfilter::isTransferOf(row.utf8(field), positionKey.toUtf8().toStdString());
}

int lastTransferNumber(const Table &transfers)
{
    if (!transfers.isActive() || transfers.recordCount() == 0)
        return 0;
    const QString key = keyOf(transfers.row(transfers.recordCount() - 1));
    if (key.isEmpty())
        return 0;
    const int number = dkey::transferNumber(key);
    if (number < 0)
        throw KalvorError(QStringLiteral("Неверный ключ записи декларации: «%1»").arg(key));
    return number;
}

QString newTransferKey(const Table &transfers, QStringView positionKey)
{
    return dkey::nextTransferKey(positionKey, lastTransferNumber(transfers));
}

void fillFromSource(Table &transfer, const RowView &source)
{
    const int sending = source.fieldIndex(u"department_code");
    if (sending >= 0 && !source.isNull(sending))
        transfer.setStoredText(transfer.requireField(u"department_code_inner"), source.utf8(sending));
    position::copyFields(source, transfer,
                         {QStringLiteral("package_volume"), QStringLiteral("production_name"),
                          QStringLiteral("production_number"), QStringLiteral("production_code"),
                          QStringLiteral("producer_name"), QStringLiteral("region_code")});
}

void takePackageFromSource(Table &transfer, const RowView &source)
{
    transfer.setFloat(u"alcohol", value(source, u"alcohol"));
    transfer.setFloat(u"package_volume", value(source, u"package_volume"));
}

std::optional<qint64> packageCountOf(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    for (const QChar c : trimmed)
        if (!c.isDigit())
            return std::nullopt;
    bool ok = false;
    const qint64 count = trimmed.toLongLong(&ok);
    return ok ? std::optional<qint64>(count) : std::nullopt;
}

QString packageCountText(const RowView &transfer)
{
    if (!present(transfer, u"package_volume") || !present(transfer, u"other_coming"))
        return {};
    const double package = value(transfer, u"package_volume");
    if (package == 0)
        return {};
    const double count = value(transfer, u"other_coming") / package;
    // Litres stored to three decimals: a count within a thousandth of a package is that count.
    if (std::fabs(count - std::round(count)) < 1e-6)
        return QString::number(std::llround(count));
    return QLocale::c().toString(count, 'f', QLocale::FloatingPointShortest).replace(u'.', u',');
}

void storePackageCount(Table &transfer, qint64 packages)
{
    transfer.setFloat(u"other_coming", static_cast<double>(packages) * value(transfer.currentRow(), u"package_volume"));
}

TransferCheck checkTransfer(const RowView &transfer, QStringView packageCountText)
{
    TransferCheck check;
    check.packageCountEmpty = packageCountText.trimmed().isEmpty();
    check.packageCountNotWhole = !check.packageCountEmpty && !packageCountOf(packageCountText);
    check.packageCountChargesBad =
        !present(transfer, u"package_count_charges") || value(transfer, u"package_count_charges") < 0;
    check.returnVolumeChargesBad =
        !present(transfer, u"return_volume_charges") || value(transfer, u"return_volume_charges") < 0;
    check.restVolumeEmpty = !present(transfer, u"rest_volume");
    check.restNegative = present(transfer, u"rest") && value(transfer, u"rest") < 0;
    check.departmentMissing = !present(transfer, u"department_code");
    if (!check.departmentMissing) {
        bool ok = false;
        transfer.asString(transfer.fieldIndex(u"department_code")).trimmed().toInt(&ok);
        check.departmentNotNumber = !ok;
    }
    return check;
}

QString packageCountNotWholeMessage()
{
    return QStringLiteral("Количество тары должно быть целым числом штук. Введите количество заново.");
}

QString departmentNotNumberMessage(const QString &code)
{
    return QStringLiteral("Код обособленного подразделения «%1» не является целым числом. "
                          "Выберите другое подразделение или исправьте код в справочнике подразделений.")
        .arg(code);
}

void bookOnSourcePosition(Table &declaration, QStringView positionKey, double litresChange, Booking booking)
{
    if (dkey::kindOf(positionKey) != dkey::KeyKind::Position)
        throw KalvorError(QStringLiteral("Неверный ключ продукции: «%1»").arg(positionKey.toString()));
    declaration.post();
    const bool wasFiltered = declaration.filtered();
    declaration.setFiltered(false);
    const int keyField = declaration.requireField(u"dkey");
    int found = -1;
    for (int i = 0; i < declaration.recordCount() && found < 0; ++i)
        if (declaration.row(i).asString(keyField) == positionKey)
            found = i;
    if (found < 0) {
        declaration.setFiltered(wasFiltered);
        throw KalvorError(QStringLiteral("Продукция перемещения не найдена в декларации: «%1»").arg(positionKey.toString()));
    }
    declaration.setRecNo(found + 1);
    declaration.edit();
    declaration.setFloat(u"other_charges", value(declaration.currentRow(), u"other_charges") + litresChange);
    if (booking == Booking::NewTransfer)
        declaration.setString(u"department_code_inner_charges", QStringLiteral("0"));
    storeBalanceRest(declaration);
    declaration.post();
    declaration.setFiltered(wasFiltered);
}

namespace {

// The current row must be a transfer of the position, or a booking would go to the wrong place.
void requireTransferRow(const Table &declaration, QStringView positionKey)
{
    if (!declaration.isActive() || (declaration.state() == Table::State::Browse && declaration.recNo() < 1))
        throw KalvorError(QStringLiteral("Внутреннее перемещение не выбрано"));
    if (!isTransferOf(declaration.currentRow(), positionKey))
        throw KalvorError(QStringLiteral("Внутреннее перемещение не относится к выбранной продукции"));
}

void requireEditedTransfer(Table &declaration, QStringView positionKey)
{
    requireTransferRow(declaration, positionKey);
    if (declaration.state() == Table::State::Browse)
        declaration.edit();
}

} // namespace

void saveNewTransfer(Table &declaration, QStringView positionKey, const RowView &source)
{
    requireEditedTransfer(declaration, positionKey);
    takePackageFromSource(declaration, source);
    const double litres = value(declaration.currentRow(), u"other_coming");
    bookOnSourcePosition(declaration, positionKey, litres, Booking::NewTransfer);
    declaration.saveToFile();
}

void saveChangedTransfer(Table &declaration, QStringView positionKey, double oldLitres)
{
    requireEditedTransfer(declaration, positionKey);
    const double litres = value(declaration.currentRow(), u"other_coming");
    bookOnSourcePosition(declaration, positionKey, litres - oldLitres, Booking::ChangedTransfer);
    declaration.saveToFile();
}

void deleteTransfer(Table &declaration, QStringView positionKey)
{
    declaration.cancel();
    requireTransferRow(declaration, positionKey);
    const double litres = value(declaration.currentRow(), u"other_coming");
    declaration.remove();
    bookOnSourcePosition(declaration, positionKey, -litres, Booking::ChangedTransfer);
    declaration.saveToFile();
}

} // namespace kalvor::transfer
