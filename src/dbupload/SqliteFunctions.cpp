#include "dbupload/SqliteFunctions.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace kalvor::dbupload {
namespace {

constexpr int kScale = 6;
constexpr int kMaxDigits = 30;

Micro power10(int n)
{
    Micro p = 1;
    for (int i = 0; i < n; ++i)
        p *= 10;
    return p;
}

// |numerator| / denominator rounded half away from zero, with the numerator's sign.
Micro divideRounded(Micro numerator, Micro denominator)
{
    const bool negative = numerator < 0;
    const Micro magnitude = negative ? -numerator : numerator;
    Micro quotient = magnitude / denominator;
    if ((magnitude % denominator) * 2 >= denominator)
        ++quotient;
    return negative ? -quotient : quotient;
}

std::optional<Micro> valueOf(sqlite3_value *value)
{
    const unsigned char *text = sqlite3_value_text(value);
    if (!text)
        return std::nullopt;
    return parseMicro(std::string_view(reinterpret_cast<const char *>(text),
                                       static_cast<std::size_t>(sqlite3_value_bytes(value))));
}

struct Options {
    int decimals = 0;
    long long divisor = 1;
};

bool readOptions(sqlite3_context *context, int argc, sqlite3_value **argv, Options &options)
{
    options.decimals = sqlite3_value_int(argv[1]);
    options.divisor = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
    if (options.decimals < 0 || options.decimals > kScale || options.divisor <= 0) {
        sqlite3_result_error(context, "kv_sum/kv_dec: decimals 0-6 and a positive divisor", -1);
        return false;
    }
    return true;
}

void resultText(sqlite3_context *context, const std::string &text)
{
    sqlite3_result_text(context, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// SQLite aligns aggregate memory to 8 bytes only, so the 128-bit total is kept as two 64-bit halves.
struct SumState {
    std::uint64_t totalLow;
    std::int64_t totalHigh;
    Options options;
    bool failed;

    Micro total() const { return static_cast<Micro>((static_cast<unsigned __int128>(totalHigh) << 64) | totalLow); }
    void setTotal(Micro value)
    {
        totalLow = static_cast<std::uint64_t>(value);
        totalHigh = static_cast<std::int64_t>(value >> 64);
    }
};

void sumStep(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    auto *state = static_cast<SumState *>(sqlite3_aggregate_context(context, sizeof(SumState)));
    if (!state || state->failed)
        return;
    // The decimals and the divisor are constants of the call; every row brings them.
    if (!readOptions(context, argc, argv, state->options)) {
        state->failed = true;
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    const std::optional<Micro> value = valueOf(argv[0]);
    if (!value) {
        state->failed = true;
        sqlite3_result_error(context, "kv_sum: a value is no number", -1);
        return;
    }
    state->setTotal(state->total() + *value);
}

void sumFinal(sqlite3_context *context)
{
    // Null when no row came: then nothing tells the decimals; the procedures always group, so a group
    // has rows.
    auto *state = static_cast<SumState *>(sqlite3_aggregate_context(context, 0));
    if (!state) {
        resultText(context, "0");
        return;
    }
    if (state->failed) {
        sqlite3_result_error(context, "kv_sum: a value is no number", -1);
        return;
    }
    resultText(context, formatMicro(state->total(), state->options.decimals, state->options.divisor));
}

void decFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    Options options;
    if (!readOptions(context, argc, argv, options))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const std::optional<Micro> value = valueOf(argv[0]);
    if (!value) {
        sqlite3_result_error(context, "kv_dec: the value is no number", -1);
        return;
    }
    resultText(context, formatMicro(*value, options.decimals, options.divisor));
}

void yymmFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const unsigned char *text = sqlite3_value_text(argv[0]);
    const int length = sqlite3_value_bytes(argv[0]);
    const auto digits = [text](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            n = n * 10 + (text[i] - '0');
        }
        return n;
    };
    if (!text || length < 7 || text[4] != '-' || digits(0, 4) < 0 || digits(5, 2) < 0) {
        sqlite3_result_null(context);
        return;
    }
    sqlite3_result_int(context, (digits(0, 4) - 2000) * 100 + digits(5, 2));
}

} // namespace

std::optional<Micro> parseMicro(std::string_view text)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    Micro digits = 0;
    int count = 0;
    int fraction = 0; // digits after the point
    bool point = false;
    bool any = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (count == 0 && c == '0' && !point)
                continue; // leading zeros do not count against the limit
            if (++count > kMaxDigits)
                return std::nullopt;
            digits = digits * 10 + (c - '0');
            fraction += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!any)
        return std::nullopt;
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negativeExponent = text[i++] == '-';
        if (i >= text.size())
            return std::nullopt;
        for (; i < text.size(); ++i) {
            if (text[i] < '0' || text[i] > '9' || exponent > 99)
                return std::nullopt;
            exponent = exponent * 10 + (text[i] - '0');
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    // digits * 10^(exponent - fraction), in millionths.
    const int shift = kScale + exponent - fraction;
    Micro value;
    if (shift >= 0) {
        if (count + shift > kMaxDigits + kScale)
            return std::nullopt;
        value = digits * power10(shift);
    } else {
        value = -shift > kMaxDigits + kScale ? 0 : divideRounded(digits, power10(-shift));
    }
    return negative ? -value : value;
}

std::string formatMicro(Micro value, int decimals, long long divisor)
{
    decimals = std::clamp(decimals, 0, kScale);
    const Micro scaled = divideRounded(value, power10(kScale - decimals) * divisor);
    Micro magnitude = scaled < 0 ? -scaled : scaled;
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(magnitude % 10)));
        magnitude /= 10;
    } while (magnitude > 0);
    while (static_cast<int>(digits.size()) <= decimals)
        digits.push_back('0');
    std::reverse(digits.begin(), digits.end());
    if (decimals > 0)
        digits.insert(digits.end() - decimals, '.');
    return scaled < 0 ? "-" + digits : digits;
}

bool registerKalvorFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(db, "kv_sum", 2, flags, nullptr, nullptr, sumStep, sumFinal) == SQLITE_OK
        && sqlite3_create_function(db, "kv_sum", 3, flags, nullptr, nullptr, sumStep, sumFinal) == SQLITE_OK
        && sqlite3_create_function(db, "kv_dec", 2, flags, nullptr, decFunction, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "kv_dec", 3, flags, nullptr, decFunction, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(db, "kv_yymm", 1, flags, nullptr, yymmFunction, nullptr, nullptr) == SQLITE_OK;
}

} // namespace kalvor::dbupload
