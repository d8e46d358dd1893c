#include "editing/InvoiceEditing.h"

#include "editing/HighlightRules.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

namespace kalvor::invoice {

int lastInvoiceNumber(const Table &invoices)
{
    if (!invoices.isActive() || invoices.recordCount() == 0)
        return 0;
    const RowView last = invoices.row(invoices.recordCount() - 1);
    const QString key = last.asString(invoices.requireField(u"dkey"));
    if (key.isEmpty())
        return 0;
    const int number = dkey::invoiceNumber(key);
    if (number < 0)
        throw KalvorError(QStringLiteral("Неверный ключ записи декларации: «%1»").arg(key));
    return number;
}

QString newInvoiceKey(const Table &invoices, QStringView stem)
{
    return dkey::nextInvoiceKey(stem, lastInvoiceNumber(invoices));
}

bool isFirstInvoiceKey(QStringView key)
{
    return key.size() >= dkey::kLength && key.mid(16, 16) == u"0000000100000000";
}

const QStringList &requiredFields()
{
    static const QStringList fields{QStringLiteral("supply_name"), QStringLiteral("license"),
                                    QStringLiteral("license_date"), QStringLiteral("ttn_numer"),
                                    QStringLiteral("ttn_date"),    QStringLiteral("loading_address")};
    return fields;
}

QStringList emptyRequiredFields(const RowView &row)
{
    QStringList result;
    for (const QString &name : requiredFields())
        if (rowcheck::isEmpty(row, row.fieldIndex(name)))
            result << name;
    return result;
}

bool waybillDateRefused(const QDate &waybillDate, int declarationYear, int declarationMonth)
{
    return waybillDate.isValid() && rowcheck::isAfterDeclarationMonth(waybillDate, declarationYear, declarationMonth);
}

} // namespace kalvor::invoice
