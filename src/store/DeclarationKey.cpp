#include "store/DeclarationKey.h"

#include "store/KalvorError.h"

namespace kalvor::dkey {
namespace {

inline char16_t at(QStringView s, qsizetype i) { return s[i].unicode(); }
inline char16_t at(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

template <typename View>
bool allDigits(View s, qsizetype offset, qsizetype count)
{
    if (offset + count > static_cast<qsizetype>(s.size()))
        return false;
    for (qsizetype i = offset; i < offset + count; ++i) {
        const char16_t c = at(s, static_cast<decltype(s.size())>(i));
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

template <typename View>
bool allZeros(View s, qsizetype offset, qsizetype count)
{
    for (qsizetype i = offset; i < offset + count; ++i)
        if (at(s, static_cast<decltype(s.size())>(i)) != u'0')
            return false;
    return true;
}

template <typename View>
KeyKind kindOfKey(View key)
{
    if (static_cast<qsizetype>(key.size()) != kLength || !allDigits(key, kInvoiceOffset, kLength - kInvoiceOffset))
        return KeyKind::Invalid;
    const bool noPosition = allZeros(key, kPositionOffset, kPositionDigits);
    const bool noTransfer = allZeros(key, kTransferOffset, kTransferDigits);
    if (noPosition)
        return noTransfer ? KeyKind::Invoice : KeyKind::Invalid;
    return noTransfer ? KeyKind::Position : KeyKind::Transfer;
}

template <typename View>
bool sameSlice(View a, View b, qsizetype offset, qsizetype count)
{
    if (static_cast<qsizetype>(a.size()) < offset + count || static_cast<qsizetype>(b.size()) < offset + count)
        return false;
    for (qsizetype i = offset; i < offset + count; ++i) {
        const auto index = static_cast<decltype(a.size())>(i);
        if (at(a, index) != at(b, index))
            return false;
    }
    return true;
}

int numberAt(QStringView key, int offset, int digits)
{
    if (!allDigits(key, offset, digits))
        return -1;
    return key.mid(offset, digits).toInt();
}

QString padded(int number, int digits)
{
    return QString::number(number).rightJustified(digits, u'0');
}

// The next number of a field, refusing one that needs more digits than the field has.
int nextNumber(int last, int max, const QString &overflowMessage)
{
    if (last < 0)
        throw KalvorError(QStringLiteral("Неверный номер в ключе записи декларации"));
    if (last >= max)
        throw KalvorError(overflowMessage);
    return last + 1;
}

void requireLength(QStringView key, int length)
{
    if (key.size() < length)
        throw KalvorError(QStringLiteral("Неверный ключ записи декларации: «%1»").arg(key.toString()));
}

} // namespace

KeyKind kindOf(QStringView key) { return kindOfKey(key); }
KeyKind kindOf(std::string_view key) { return kindOfKey(key); }

int invoiceNumber(QStringView key) { return numberAt(key, kInvoiceOffset, kInvoiceDigits); }
int positionNumber(QStringView key) { return numberAt(key, kPositionOffset, kPositionDigits); }
int transferNumber(QStringView key) { return numberAt(key, kTransferOffset, kTransferDigits); }

QString nextInvoiceKey(QStringView stem, int lastInvoice)
{
    requireLength(stem, kStemLength);
    const int number = nextNumber(lastInvoice, kMaxInvoice,
        QStringLiteral("В периоде уже %1 накладных: новую накладную добавить нельзя").arg(kMaxInvoice));
    return stem.left(kStemLength).toString() + padded(number, kInvoiceDigits) + QStringLiteral("00000000");
}

QString nextPositionKey(QStringView invoiceKey, int lastPosition)
{
    requireLength(invoiceKey, kPositionOffset);
    const int number = nextNumber(lastPosition, kMaxPosition,
        QStringLiteral("В накладной уже %1 позиций продукции: новую позицию добавить нельзя").arg(kMaxPosition));
    return invoiceKey.left(kPositionOffset).toString() + padded(number, kPositionDigits) + QStringLiteral("00");
}

QString nextTransferKey(QStringView positionKey, int lastTransfer)
{
    requireLength(positionKey, kTransferOffset);
    const int number = nextNumber(lastTransfer, kMaxTransfer,
        QStringLiteral("По продукции уже %1 внутренних перемещений: новое перемещение добавить нельзя")
            .arg(kMaxTransfer));
    return positionKey.left(kTransferOffset).toString() + padded(number, kTransferDigits);
}

QString widenedInn(QStringView inn)
{
    if (inn.size() >= 12)
        return inn.left(12).toString();
    return inn.left(10).toString() + QStringLiteral("00");
}

QString stemFor(QStringView inn, QStringView periodString)
{
    if (inn.size() < 10)
        throw KalvorError(QStringLiteral("ИНН «%1» короче 10 символов").arg(inn.toString()));
    if (periodString.size() < 6)
        throw KalvorError(QStringLiteral("Неверный отчетный период «%1»").arg(periodString.toString()));
    return widenedInn(inn) + periodString.mid(2, 4).toString() + QStringLiteral("00");
}

QString withPeriod(QStringView key, QStringView periodString)
{
    if (key.size() < 16 || periodString.size() < 6)
        return key.toString();
    return key.left(12).toString() + periodString.mid(2, 4).toString() + key.mid(16).toString();
}

bool sameInvoice(QStringView a, QStringView b) { return sameSlice(a, b, kInvoiceOffset, kInvoiceDigits); }
bool samePosition(QStringView a, QStringView b)
{
    return sameSlice(a, b, kInvoiceOffset, kInvoiceDigits + kPositionDigits);
}
bool sameInvoice(std::string_view a, std::string_view b) { return sameSlice(a, b, kInvoiceOffset, kInvoiceDigits); }
bool samePosition(std::string_view a, std::string_view b)
{
    return sameSlice(a, b, kInvoiceOffset, kInvoiceDigits + kPositionDigits);
}

} // namespace kalvor::dkey
