#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;

namespace kalvor::dbupload {

// SQL functions the SQLite procedures use so that they answer exactly as the PostgreSQL ones do:
//   kv_sum(value, decimals[, divisor])  the exact sum of decimals (NULLs left out, 0 for none), divided
//                                       and rounded half away from zero, as text with that many
//                                       decimals: PostgreSQL's round(coalesce(sum(value),0)/divisor, d)
//   kv_dec(value, decimals[, divisor])  one value the same way; NULL stays NULL
//   kv_yymm(date)                       (year - 2000) * 100 + month of an ISO date text; NULL for NULL
// Registered on every connection; returns false when SQLite refused.
bool registerKalvorFunctions(sqlite3 *db);

// The exact arithmetic behind them, in millionths.
using Micro = __int128;
// Reads "12.345", "-0.5", "1e3", "+7" exactly (digits past the sixth decimal are rounded half away from
// zero); nothing for anything else or for more than 30 digits.
std::optional<Micro> parseMicro(std::string_view text);
// value / divisor rounded half away from zero to `decimals` (0-6) places, as text: "1.250", "-3", "0.000".
std::string formatMicro(Micro value, int decimals, long long divisor = 1);

} // namespace kalvor::dbupload
