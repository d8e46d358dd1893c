#include "editing/InvoiceEditing.h"

#include "editing/HighlightRules.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <algorithm>

namespace kalvor::invoice {

int highestInvoiceNumber(const Table &invoices)
{
    if (!invoices.isActive())
        return 0;
    // Keys of another month (a table carried by hand, say) sort apart: the number alone decides.
    const int keyField = invoices.requireField(u"dkey");
    int highest = 0;
    for (int i = 0; i < invoices.recordCount(); ++i) {
        const QString key = invoices.row(i).asString(keyField);
        if (key.isEmpty())
            continue;
        const int number = dkey::invoiceNumber(key);
        if (number < 0)
            throw KalvorError(QStringLiteral("Неверный ключ записи декларации: «%1»").arg(key));
        highest = std::max(highest, number);
    }
    return highest;
}

QString newInvoiceKey(const Table &invoices, QStringView stem)
{
    return dkey::nextInvoiceKey(stem, highestInvoiceNumber(invoices));
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
