#include "store/ColumnCopy.h"

#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <QDir>

#include <cmath>

namespace kalvor {
namespace {

std::optional<std::string> typed(const FieldDef &to, std::string_view text)
{
    try {
        return valuetext::fromUserText(to, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    } catch (const KalvorError &) {
        return std::nullopt;
    }
}

// A decimal that is a whole number (within the noise of a float's last digits) for an integer column.
std::optional<std::string> wholeNumber(const FieldDef &to, std::string_view text)
{
    std::string dotted(text);
    for (char &c : dotted)
        if (c == ',')
            c = '.';
    const std::size_t first = dotted.find_first_not_of(' ');
    const std::size_t last = dotted.find_last_not_of(' ');
    if (first == std::string::npos)
        return std::nullopt;
    const auto value = valuetext::parseDecimal(std::string_view(dotted).substr(first, last - first + 1));
    if (!value || std::fabs(*value - std::round(*value)) > 1e-9 * std::max(1.0, std::fabs(*value)))
        return std::nullopt;
    const double whole = std::round(*value);
    if (whole < static_cast<double>(to.minInteger()) || whole > static_cast<double>(to.maxInteger()))
        return std::nullopt;
    return valuetext::formatInteger(static_cast<qint64>(whole));
}

// Every value a file may hold in `from` is a value of `to`.
bool holdsValuesOf(const FieldDef &from, const FieldDef &to)
{
    if (from.kind != to.kind)
        return false;
    if (from.kind != FieldKind::Integer)
        return true;
    return to.minInteger() <= from.minInteger() && to.maxInteger() >= from.maxInteger();
}

QString utf8Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

std::optional<std::string> convertStoredText(const FieldDef &from, std::string_view text, const FieldDef &to)
{
    if (valuetext::isWellFormed(to, text))
        return std::string(text);
    if (to.kind == FieldKind::Integer && from.kind != FieldKind::Date && from.kind != FieldKind::DateTime) {
        if (auto value = typed(to, text))
            return value;
        return wholeNumber(to, text);
    }
    if ((to.kind == FieldKind::Date || to.kind == FieldKind::DateTime) &&
        (from.kind == FieldKind::Date || from.kind == FieldKind::DateTime)) {
        const QDateTime value = valuetext::parseDateTime(text);
        if (!value.isValid())
            return std::nullopt;
        return to.kind == FieldKind::Date ? valuetext::formatDate(value.date()) : valuetext::formatDateTime(value);
    }
    return typed(to, text);
}

KalvorError unconvertibleValue(const QString &fileName, std::string_view key, const FieldDef &to, std::string_view text)
{
    return KalvorError(QStringLiteral("Файл %1, строка %2, поле %3: значение «%4» не является значением типа %5. "
                                      "Ничего не изменено.")
                           .arg(QDir::toNativeSeparators(fileName), utf8Text(key), to.name, utf8Text(text),
                                QString::fromLatin1(to.typeName)));
}

ColumnCopy::ColumnCopy(const TableData &source, const TableData &templ, QString sourceName)
    : m_source(source), m_sourceName(std::move(sourceName))
{
    m_result.resetFields(templ.fields);
    m_result.params = templ.params;
    for (const FieldDef &field : templ.fields) {
        int found = -1;
        for (int i = 0; i < source.fieldCount() && found < 0; ++i)
            if (source.fields[i].name.compare(field.name, Qt::CaseInsensitive) == 0)
                found = i;
        m_sourceField.push_back(found);
        m_verbatim.push_back(found >= 0 && holdsValuesOf(source.fields[found], field));
    }
}

int ColumnCopy::targetField(QStringView name) const
{
    for (int i = 0; i < m_result.fieldCount(); ++i)
        if (m_result.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Cell ColumnCopy::convertCell(int sourceField, const Cell &cell, int target, std::string_view key)
{
    if (sourceField < 0 || cell.isNull())
        return Cell();
    const std::string_view text = m_source.text(cell);
    if (m_verbatim[static_cast<std::size_t>(target)] && m_sourceField[static_cast<std::size_t>(target)] == sourceField)
        return m_result.storeText(text);
    const FieldDef &to = m_result.fields[target];
    const std::optional<std::string> value = convertStoredText(m_source.fields[sourceField], text, to);
    if (!value)
        throw unconvertibleValue(m_sourceName, key, to, text);
    return m_result.storeText(*value);
}

void ColumnCopy::copyRow(std::uint32_t record, std::string_view key, std::vector<Cell> &cells,
                         const std::vector<bool> *skipped)
{
    const CellRow row = m_source.recordCells(record);
    cells.resize(m_sourceField.size());
    for (std::size_t i = 0; i < m_sourceField.size(); ++i) {
        const int s = m_sourceField[i];
        const bool skip = s < 0 || (skipped && (*skipped)[i]);
        cells[i] = skip ? Cell() : convertCell(s, row[s], static_cast<int>(i), key);
    }
}

} // namespace kalvor
