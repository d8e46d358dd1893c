#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

namespace kalvor::dkey {

// Layout of the 32-character record key of the declaration table:
//   INN widened to 12 | YY | MM | "00" | invoice (6) | position (6) | transfer (2)
constexpr int kLength = 32;
constexpr int kStemLength = 18;     // INN + YYMM + "00": the period's file-name stem
constexpr int kInvoiceOffset = 18;  // 0-based offsets of the three numbers
constexpr int kInvoiceDigits = 6;
constexpr int kPositionOffset = 24;
constexpr int kPositionDigits = 6;
constexpr int kTransferOffset = 30;
constexpr int kTransferDigits = 2;
constexpr int kMaxInvoice = 999999;
constexpr int kMaxPosition = 999999;
constexpr int kMaxTransfer = 99;

enum class KeyKind { Invalid, Invoice, Position, Transfer };

// The row kind told by the key alone. A key is valid when it has 32 characters and its three numbers
// are digits; the INN part is not inspected, as the filters never look at it.
KeyKind kindOf(QStringView key);
KeyKind kindOf(std::string_view key);

// The numbers of a key (invoice: characters 19-24, position: 25-30, transfer: 31-32);
// -1 when the key is too short or the field is not all digits.
int invoiceNumber(QStringView key);
int positionNumber(QStringView key);
int transferNumber(QStringView key);

// Keys of new rows: one more than the last number present (0 when there is none).
// A number that would not fit its field throws KalvorError rather than lengthening the key.
QString nextInvoiceKey(QStringView stem, int lastInvoice);
QString nextPositionKey(QStringView invoiceKey, int lastPosition);
QString nextTransferKey(QStringView positionKey, int lastTransfer);

// "INNYYMMCC" from the requisites' INN and the period string (e.g. "201203"): the first 12 characters
// of the INN when it has them, else its first 10 followed by "00". Throws KalvorError for an INN
// shorter than 10 characters or a period string shorter than 6.
QString stemFor(QStringView inn, QStringView periodString);
// The INN part of a stem: first 12 characters, or the first 10 + "00".
QString widenedInn(QStringView inn);

// Replaces YYMM (characters 13-16) with characters 3-6 of the period string; keys shorter than 16
// characters are returned unchanged.
QString withPeriod(QStringView key, QStringView periodString);

// Middle-part comparisons used by the filters (characters 19-24, and 19-30).
bool sameInvoice(QStringView a, QStringView b);
bool samePosition(QStringView a, QStringView b);
bool sameInvoice(std::string_view a, std::string_view b);
bool samePosition(std::string_view a, std::string_view b);

} // namespace kalvor::dkey
