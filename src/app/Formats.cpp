#include "app/Formats.h"

#include <QStringList>

#include <cmath>

namespace kalvor {

QString Formats::date(const QDate &value)
{
    return value.isValid() ? value.toString(u"dd.MM.yyyy") : QString();
}

QDate Formats::parseDate(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u'.');
    if (parts.size() != 3)
        return {};
    bool okDay = false;
    bool okMonth = false;
    bool okYear = false;
    const int day = parts[0].toInt(&okDay);
    const int month = parts[1].toInt(&okMonth);
    int year = parts[2].toInt(&okYear);
    if (!okDay || !okMonth || !okYear || parts[0].size() > 2 || parts[1].size() > 2)
        return {};
    if (parts[2].size() == 2)
        year += 2000;
    else if (parts[2].size() != 4)
        return {};
    return QDate(year, month, day); // invalid for 31.02 and the like
}

QString Formats::number(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // A value that rounds to zero is shown without a minus sign.
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - (decimals > 0 ? 2 : 1))
        text.remove(0, 1);
    text.replace(u'.', u',');
    return text;
}

std::optional<double> Formats::parseNumber(QStringView text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text.trimmed()) {
        if (c == u' ' || c == QChar(0x00A0))
            continue;
        clean += c == u',' ? QChar(u'.') : c;
    }
    if (clean.isEmpty())
        return std::nullopt;
    // Only plain decimal notation: no exponents, hexadecimal or "inf".
    for (const QChar c : clean)
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'+'))
            return std::nullopt;
    bool ok = false;
    const double value = clean.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace kalvor
