#include "store/ValueText.h"

#include "store/KalvorError.h"

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace kalvor::valuetext {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

int digitsValue(std::string_view s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

// A sign stands once, before the digits: "+-5" is no number.
bool stripPlus(std::string_view &text)
{
    if (text.empty() || text.front() != '+')
        return true;
    text.remove_prefix(1);
    return !text.empty() && text.front() != '-' && text.front() != '+';
}

// The usual form of a stored decimal, "-123.450", told without converting it: loading checks every
// number cell. Anything else (a plus sign, an exponent) goes the long way through parseDecimal.
bool isPlainDecimal(std::string_view s)
{
    if (s.size() > 64)
        return false;
    std::size_t i = !s.empty() && s.front() == '-' ? 1 : 0;
    bool digit = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            digit = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    bool hasTime = false;
};

// YYYYMMDD, then for a date and time optionally THH:MM:SS with milliseconds as SSmmm (as the engine
// writes them) or SS.mmm. A date alone takes anything after the "T".
std::optional<DateTimeParts> splitDateTime(std::string_view text, bool withTime)
{
    if (text.size() < 8 || !allDigits(text.substr(0, 8)))
        return std::nullopt;
    if (text.size() > 8 && text[8] != 'T')
        return std::nullopt;
    DateTimeParts parts;
    parts.year = digitsValue(text.substr(0, 4));
    parts.month = digitsValue(text.substr(4, 2));
    parts.day = digitsValue(text.substr(6, 2));
    if (!QDate::isValid(parts.year, parts.month, parts.day))
        return std::nullopt;
    if (!withTime || text.size() == 8)
        return parts;
    const std::string_view t = text.substr(9);
    if (t.size() < 8 || !allDigits(t.substr(0, 2)) || t[2] != ':' || !allDigits(t.substr(3, 2)) || t[5] != ':'
        || !allDigits(t.substr(6, 2)))
        return std::nullopt;
    std::string_view rest = t.substr(8);
    if (!rest.empty() && rest.front() == '.')
        rest.remove_prefix(1);
    if (!rest.empty() && (rest.size() > 3 || !allDigits(rest)))
        return std::nullopt;
    parts.hour = digitsValue(t.substr(0, 2));
    parts.minute = digitsValue(t.substr(3, 2));
    parts.second = digitsValue(t.substr(6, 2));
    parts.msec = digitsValue(rest);
    parts.hasTime = true;
    if (!QTime::isValid(parts.hour, parts.minute, parts.second, parts.msec))
        return std::nullopt;
    return parts;
}

} // namespace

std::optional<qint64> parseInteger(std::string_view text)
{
    std::string_view digits = text;
    if (digits.empty() || !stripPlus(digits))
        return std::nullopt;
    qint64 value = 0;
    const auto *end = digits.data() + digits.size();
    auto [ptr, ec] = std::from_chars(digits.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> parseDecimal(std::string_view text)
{
    if (text.empty() || text.size() > 64)
        return std::nullopt;
    std::string_view s = text;
    if (!stripPlus(s))
        return std::nullopt;
    // from_chars for double takes "1e5", "inf" and "nan" too; data packets only hold plain decimals
    // (the float type may carry an exponent).
    bool digit = false;
    for (char c : s) {
        if (isDigit(c))
            digit = true;
        else if (c != '-' && c != '.' && c != 'e' && c != 'E' && c != '+')
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    double value = 0;
    const auto *end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QDate parseDate(std::string_view text)
{
    const auto parts = splitDateTime(text, false);
    return parts ? QDate(parts->year, parts->month, parts->day) : QDate();
}

QDateTime parseDateTime(std::string_view text)
{
    const auto parts = splitDateTime(text, true);
    if (!parts)
        return {};
    return QDateTime(QDate(parts->year, parts->month, parts->day),
                     QTime(parts->hour, parts->minute, parts->second, parts->msec));
}

bool isWellFormed(const FieldDef &field, std::string_view text)
{
    switch (field.kind) {
    case FieldKind::Integer: {
        const auto v = parseInteger(text);
        return v && *v >= field.minInteger() && *v <= field.maxInteger();
    }
    case FieldKind::Fixed:
    case FieldKind::Float:
        return isPlainDecimal(text) || parseDecimal(text).has_value();
    case FieldKind::Boolean:
        return text == "TRUE" || text == "FALSE" || text == "true" || text == "false";
    // Checked without building a date-time, which would consult the time zone for every cell.
    case FieldKind::Date:
        return splitDateTime(text, false).has_value();
    case FieldKind::DateTime:
        return splitDateTime(text, true).has_value();
    case FieldKind::String:
    case FieldKind::Other:
        return true;
    }
    return true;
}

std::string formatInteger(qint64 value) { return std::to_string(value); }

std::string formatDecimal(double value, int decimals)
{
    if (!std::isfinite(value))
        throw KalvorError(QStringLiteral("Недопустимое числовое значение"));
    decimals = std::clamp(decimals, 0, 9);
    const double scale = std::pow(10.0, decimals);
    // Values come from double arithmetic: nudge by a few units in the last place so that 1.0005 shown
    // to three decimals rounds up as the user expects.
    double scaled = value * scale;
    scaled = std::round(scaled * (1.0 + 8 * DBL_EPSILON));
    if (std::fabs(scaled) >= 9.0e18)
        throw KalvorError(QStringLiteral("Число %1 слишком велико").arg(value));
    const auto units = static_cast<long long>(scaled);
    const bool negative = units < 0;
    std::string digits = std::to_string(negative ? -units : units);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    if (negative)
        digits.insert(0, 1, '-');
    return digits;
}

std::string formatFloat(double value)
{
    if (!std::isfinite(value))
        throw KalvorError(QStringLiteral("Недопустимое числовое значение"));
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc() ? ptr : buffer);
}

std::string formatDate(const QDate &date)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", date.year(), date.month(), date.day());
    return buffer;
}

std::string formatDateTime(const QDateTime &dateTime)
{
    const QTime time = dateTime.time();
    std::string result = formatDate(dateTime.date());
    if (time.isValid() && time != QTime(0, 0)) {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "T%02d:%02d:%02d%03d", time.hour(), time.minute(), time.second(),
                      time.msec());
        result += buffer;
    }
    return result;
}

std::string fromUserText(const FieldDef &field, const QString &text)
{
    const QString trimmed = text.trimmed();
    const QByteArray utf8 = trimmed.toUtf8();
    const std::string_view view(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    const auto refuse = [&](const QString &what) {
        return KalvorError(QStringLiteral("«%1» не является %2 (поле %3)").arg(trimmed, what, field.name));
    };
    switch (field.kind) {
    case FieldKind::String:
    case FieldKind::Other: {
        if (field.width > 0 && text.size() > field.width)
            throw KalvorError(QStringLiteral("Значение поля %1 длиннее %2 символов").arg(field.name).arg(field.width));
        const QByteArray raw = text.toUtf8();
        return std::string(raw.constData(), static_cast<std::size_t>(raw.size()));
    }
    case FieldKind::Integer: {
        const auto v = parseInteger(view);
        if (!v)
            throw refuse(QStringLiteral("целым числом"));
        if (*v < field.minInteger() || *v > field.maxInteger())
            throw KalvorError(QStringLiteral("Число %1 вне допустимого диапазона поля %2").arg(trimmed, field.name));
        return formatInteger(*v);
    }
    case FieldKind::Fixed:
    case FieldKind::Float: {
        std::string dotted(view);
        for (char &c : dotted)
            if (c == ',')
                c = '.';
        const auto v = parseDecimal(dotted);
        if (!v)
            throw refuse(QStringLiteral("числом"));
        return field.kind == FieldKind::Fixed ? formatDecimal(*v, field.decimals) : formatFloat(*v);
    }
    case FieldKind::Boolean: {
        const QString upper = trimmed.toUpper();
        if (upper == u"TRUE" || upper == u"1" || upper == u"ДА")
            return "TRUE";
        if (upper == u"FALSE" || upper == u"0" || upper == u"НЕТ")
            return "FALSE";
        throw refuse(QStringLiteral("логическим значением"));
    }
    case FieldKind::Date:
    case FieldKind::DateTime: {
        QDate date = QDate::fromString(trimmed, QStringLiteral("dd.MM.yyyy"));
        if (!date.isValid())
            date = QDate::fromString(trimmed, QStringLiteral("d.M.yyyy"));
        if (!date.isValid())
            date = parseDate(view);
        if (!date.isValid() || date.year() < 1)
            throw refuse(QStringLiteral("датой"));
        return formatDate(date);
    }
    }
    return std::string(view);
}

} // namespace kalvor::valuetext
