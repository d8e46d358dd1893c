#include "dbupload/DbRows.h"

#include "store/KalvorError.h"

namespace kalvor::dbupload {

int DbRows::columnIndex(QStringView name) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (QStringView(m_columns[i]).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const std::optional<QString> &DbRow::cell(QStringView column) const
{
    const int index = m_rows->columnIndex(column);
    if (index < 0)
        throw KalvorError(QStringLiteral("Процедура %1 не вернула столбец %2").arg(m_rows->procedure(), column));
    return m_rows->cell(m_index, index);
}

bool DbRow::isNull(QStringView column) const { return !cell(column).has_value(); }

QString DbRow::text(QStringView column) const { return cell(column).value_or(QString()); }

double DbRow::number(QStringView column) const
{
    const std::optional<QString> &value = cell(column);
    if (!value || value->isEmpty())
        return 0;
    bool ok = false;
    const double result = value->toDouble(&ok);
    if (!ok)
        throw KalvorError(QStringLiteral("Процедура %1 вернула в столбце %2 не число: %3")
                              .arg(m_rows->procedure(), column, *value));
    return result;
}

qint64 DbRow::integer(QStringView column) const
{
    const std::optional<QString> &value = cell(column);
    if (!value || value->isEmpty())
        return 0;
    bool ok = false;
    const qint64 result = value->toLongLong(&ok);
    if (!ok)
        throw KalvorError(QStringLiteral("Процедура %1 вернула в столбце %2 не целое число: %3")
                              .arg(m_rows->procedure(), column, *value));
    return result;
}

} // namespace kalvor::dbupload
