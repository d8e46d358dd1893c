#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace kalvor {

// The character set of a data packet's text form: Windows-1251 (no declaration) or UTF-8.
enum class Charset { Ansi, Utf8 };

// The charset named by the prolog (or UTF-8 after a byte-order mark). Throws KalvorError for a charset
// the engine does not read.
Charset charsetOfProlog(std::string_view head, bool hadBom);

// Decodes entities and the file's charset into UTF-8. An unknown entity stays as written, since files
// written by hand may carry a bare "&".
void decodePacketValue(std::string_view raw, Charset charset, std::string &out);

// Text in the file's charset as a QString, for messages.
QString packetTextToQString(std::string_view raw, Charset charset);

} // namespace kalvor
