#include "editing/DeclarationSearch.h"

#include "app/Formats.h"
#include "editing/HighlightRules.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QSaveFile>

#include <cmath>

namespace kalvor::search {
namespace {

bool hasNegativeRest(const RowView &row, int restField)
{
    if (rowcheck::isEmpty(row, restField))
        return false;
    bool ok = false;
    const double rest = row.asString(restField).toDouble(&ok);
    return ok && rest < 0;
}

bool numberIs(const RowView &row, int field, double wanted, double tolerance)
{
    if (rowcheck::isEmpty(row, field))
        return false;
    bool ok = false;
    const double value = row.asString(field).toDouble(&ok);
    return ok && std::abs(value - wanted) < tolerance;
}

} // namespace

QString waybillNotFoundMessage(const QString &number)
{
    return QStringLiteral("Накладной с номером ") + number + QStringLiteral(" не найдена! ");
}

int findInvoiceByWaybill(const Table &invoices, const QString &number)
{
    if (!invoices.isActive())
        return -1;
    const int field = invoices.fieldIndex(u"ttn_numer");
    if (field < 0)
        return -1;
    const QByteArray wanted = number.toUtf8();
    const std::string_view text(wanted.constData(), static_cast<std::size_t>(wanted.size()));
    for (int i = 0; i < invoices.recordCount(); ++i) {
        const RowView row = invoices.row(i);
        if (!row.isNull(field) && row.utf8(field) == text)
            return i;
    }
    return -1;
}

NegativeRestStep nextNegativeRest(const Table &rows, const QString &searchKey)
{
    NegativeRestStep step;
    if (!rows.isActive())
        return step;
    const int keyField = rows.requireField(u"dkey");
    const int restField = rows.requireField(u"rest");
    const QByteArray after = searchKey.toUtf8();
    const std::string_view afterKey(after.constData(), static_cast<std::size_t>(after.size()));
    QString last;
    for (int i = 0; i < rows.recordCount(); ++i) {
        const RowView row = rows.row(i);
        if (!hasNegativeRest(row, restField))
            continue;
        const std::string_view key = row.utf8(keyField);
        if (afterKey.empty() || key > afterKey) {
            step.found = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
            step.nextSearchKey = step.found;
            return step;
        }
        last = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
    }
    // Past the last one: say so once, show the last, and start from the first at the next step.
    step.found = last;
    step.reachedEnd = !last.isEmpty();
    return step;
}

int findInvoiceOf(const Table &invoices, QStringView rowKey)
{
    // Stem and invoice number: the first 24 characters (the 25th is already the position number).
    constexpr int kInvoicePrefix = dkey::kInvoiceOffset + dkey::kInvoiceDigits;
    if (!invoices.isActive() || rowKey.size() < kInvoicePrefix)
        return -1;
    const QByteArray prefix = rowKey.left(kInvoicePrefix).toUtf8();
    const std::string_view wanted(prefix.constData(), static_cast<std::size_t>(prefix.size()));
    const int field = invoices.requireField(u"dkey");
    for (int i = 0; i < invoices.recordCount(); ++i)
        if (invoices.row(i).utf8(field).substr(0, kInvoicePrefix) == wanted)
            return i;
    return -1;
}

int writePriceListing(const Table &rows, int itemIndex, const QString &threshold, const QString &logFileName)
{
    const std::optional<double> price = Formats::parseNumber(threshold.trimmed());
    if (!price)
        throw KalvorError(QStringLiteral("Цена для поиска должна быть числом: «%1»").arg(threshold));
    const bool cognac = itemIndex == 1;
    const double kind = cognac ? 3 : 1;
    const double packageVolume = cognac ? 0.7 : 0.5;

    QSaveFile file(logFileName);
    if (!file.open(QIODevice::WriteOnly))
        throw KalvorError(QStringLiteral("Не удалось создать файл %1: %2").arg(logFileName, file.errorString()));
    int lines = 0;
    if (rows.isActive()) {
        const int keyField = rows.requireField(u"dkey");
        const int codeField = rows.requireField(u"production_code");
        const int priceField = rows.requireField(u"purches_price");
        const int volumeField = rows.requireField(u"package_volume");
        for (int i = 0; i < rows.recordCount(); ++i) {
            const RowView row = rows.row(i);
            const std::string_view key = row.utf8(keyField);
            if (dkey::kindOf(key) != dkey::KeyKind::Position && dkey::kindOf(key) != dkey::KeyKind::Transfer)
                continue;
            if (!numberIs(row, codeField, kind, 0.5) || !numberIs(row, volumeField, packageVolume, 0.0005))
                continue;
            if (rowcheck::isEmpty(row, priceField))
                continue;
            bool ok = false;
            const double rowPrice = row.asString(priceField).toDouble(&ok);
            if (!ok || rowPrice < *price - 1e-9)
                continue;
            file.write("dkey=");
            file.write(key.data(), static_cast<qint64>(key.size()));
            file.write("\r\n");
            ++lines;
        }
    }
    if (!file.commit())
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(logFileName, file.errorString()));
    return lines;
}

} // namespace kalvor::search
