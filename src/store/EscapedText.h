#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kalvor {

// Text made safe for one line of a terminal or a listing: TAB, CR, LF and the backslash become \t, \r, \n
// and \\; other control characters (C0, DEL, C1), the marks that break a line or reorder it on screen
// (U+2028, U+2029, bidirectional overrides and isolates) and bytes that are no UTF-8 become \xHH, one per
// byte. So no value from a file can start a line of its own or steer the terminal, and the result is
// also PostgreSQL's COPY text form, which reads every such escape back to the same bytes.
void appendEscaped(std::string &out, std::string_view utf8);
std::string escapedUtf8(const QString &text);

} // namespace kalvor
