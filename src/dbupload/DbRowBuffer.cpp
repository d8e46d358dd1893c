#include "dbupload/DbRowBuffer.h"

#include "store/ValueText.h"

#include <QDate>
#include <QDateTime>

#include <cstdio>
#include <limits>

namespace kalvor::dbupload {
namespace {

bool isDecimal(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// A whole number that fits the database's integer columns.
bool isInteger(std::string_view text)
{
    const std::optional<qint64> n = valuetext::parseInteger(text);
    return n && *n >= std::numeric_limits<qint32>::min() && *n <= std::numeric_limits<qint32>::max();
}

std::string isoDate(const QDate &date)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year(), date.month(), date.day());
    return buffer;
}

} // namespace

DbRowBuffer::DbRowBuffer(QString table, QList<DbColumn> columns) : m_table(std::move(table)), m_columns(std::move(columns))
{
}

void DbRowBuffer::reserve(std::size_t rows, std::size_t textBytes)
{
    m_cells.reserve(rows * static_cast<std::size_t>(m_columns.size()));
    m_text.reserve(textBytes);
}

void DbRowBuffer::add(std::string_view value)
{
    m_cells.push_back({static_cast<std::uint32_t>(m_text.size()), static_cast<std::uint32_t>(value.size())});
    m_text.append(value);
}

void DbRowBuffer::addNull() { m_cells.push_back({}); }

bool DbRowBuffer::addFileValue(DbType type, std::string_view stored)
{
    // Text, integers and decimals are already in the database's form and go in without a copy; they
    // are checked all the same, so that both databases refuse the same values.
    if (type == DbType::Text || (type == DbType::Integer && isInteger(stored))
        || (type == DbType::Decimal && isDecimal(stored))) {
        add(stored);
        return true;
    }
    if (type == DbType::Integer || type == DbType::Decimal)
        return false;
    const std::optional<std::string> value = databaseValue(type, stored);
    if (value)
        add(*value);
    return value.has_value();
}

std::optional<std::string> databaseValue(DbType type, std::string_view stored)
{
    switch (type) {
    case DbType::Text:
        return std::string(stored);
    case DbType::Integer:
        return isInteger(stored) ? std::optional<std::string>(stored) : std::nullopt;
    case DbType::Decimal:
        return isDecimal(stored) ? std::optional<std::string>(stored) : std::nullopt;
    case DbType::Date: {
        const QDate date = valuetext::parseDate(stored);
        if (!date.isValid())
            return std::nullopt;
        return isoDate(date);
    }
    case DbType::Timestamp: {
        const QDateTime at = valuetext::parseDateTime(stored);
        if (!at.isValid())
            return std::nullopt;
        const QTime t = at.time();
        char buffer[24];
        if (t.msec() != 0)
            std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d.%03d", t.hour(), t.minute(), t.second(), t.msec());
        else
            std::snprintf(buffer, sizeof buffer, " %02d:%02d:%02d", t.hour(), t.minute(), t.second());
        return isoDate(at.date()) + buffer;
    }
    }
    return std::nullopt;
}

} // namespace kalvor::dbupload
