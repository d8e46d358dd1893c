#include "store/RowDataParser.h"

#include "store/Cp1251.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kalvor {
namespace {

constexpr unsigned kNeedsDecoding = 1; // "&" or a byte above 127
constexpr unsigned kHasNul = 2;
// A month's declaration holds tens of thousands of rows. Each row costs bookkeeping even when empty, so
// without a bound a small binary packet of empty rows could still take hundreds of megabytes.
constexpr std::size_t kMaxRows = 8'000'000;

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// Bytes that end a tag or attribute name.
constexpr std::array<bool, 256> kNameEnd = [] {
    std::array<bool, 256> table{};
    for (const char c : {' ', '\t', '\r', '\n', '=', '/', '>', '<', '"', '\'', '\0'})
        table[static_cast<unsigned char>(c)] = true;
    return table;
}();

constexpr std::array<unsigned char, 256> kValueFlags = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0x80; c < 0x100; ++c)
        table[static_cast<std::size_t>(c)] = kNeedsDecoding;
    table['&'] = kNeedsDecoding;
    table[0] = kHasNul;
    return table;
}();

// Finds the closing quote of a value from q, noting in `flags` whether the value needs decoding or
// holds a NUL byte; null when the value runs past the window. Sixteen bytes at a time where the window
// allows: most of a packet's bytes are values.
const char *scanValue(const char *q, const char *end, char quote, unsigned &flags)
{
    flags = 0;
#if defined(__SSE2__)
    const __m128i quotes = _mm_set1_epi8(quote);
    const __m128i ampersands = _mm_set1_epi8('&');
    const __m128i zeros = _mm_setzero_si128();
    while (end - q >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(q));
        const auto atQuote = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quotes)));
        auto decode = static_cast<unsigned>(_mm_movemask_epi8(v) | _mm_movemask_epi8(_mm_cmpeq_epi8(v, ampersands)));
        auto nul = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zeros)));
        if (atQuote) {
            const unsigned before = (atQuote & (0u - atQuote)) - 1;
            decode &= before;
            nul &= before;
        }
        flags |= (decode ? kNeedsDecoding : 0) | (nul ? kHasNul : 0);
        if (atQuote)
            return q + __builtin_ctz(atQuote);
        q += 16;
    }
#endif
    for (; q < end; ++q) {
        if (*q == quote)
            return q;
        flags |= kValueFlags[static_cast<unsigned char>(*q)];
    }
    return nullptr;
}

// Whether the bytes at q begin with `name` (room for it is checked by the caller), eight bytes at a
// time: names are short, and a call to memcmp costs more than the comparison.
bool sameBytes(const char *q, const std::string &name)
{
    const std::size_t n = name.size();
    const auto word = [](const char *at) {
        std::uint64_t w;
        std::memcpy(&w, at, sizeof w);
        return w;
    };
    if (n < 8) {
        for (std::size_t i = 0; i < n; ++i)
            if (q[i] != name[i])
                return false;
        return true;
    }
    for (std::size_t i = 0; i + 8 < n; i += 8)
        if (word(q + i) != word(name.data() + i))
            return false;
    return word(q + n - 8) == word(name.data() + n - 8);
}

const char *skipName(const char *q, const char *end)
{
    while (q < end && !kNameEnd[static_cast<unsigned char>(*q)])
        ++q;
    return q;
}

const char *skipSpaces(const char *q, const char *end)
{
    while (q < end && isSpace(*q))
        ++q;
    return q;
}

bool hasNul(const char *from, const char *to) { return std::memchr(from, 0, static_cast<std::size_t>(to - from)) != nullptr; }

QString quoted(std::string_view text, Charset charset) { return packetTextToQString(text.substr(0, 40), charset); }

} // namespace

RowDataParser::RowDataParser(PacketBuffer &buffer, TableData &out, Charset charset)
    : m_buffer(buffer), m_out(out), m_charset(charset)
{
    const auto width = static_cast<std::size_t>(out.fieldCount());
    m_names.reserve(width);
    for (const FieldDef &f : out.fields) {
        const QByteArray utf8 = f.name.toUtf8();
        std::string name(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        if (charset == Charset::Ansi) {
            std::string ansi;
            // A name the code page cannot spell cannot appear in an 8-bit file's rows.
            name = cp1251::appendFromUtf8(ansi, name) ? ansi : std::string();
        }
        // An attribute named RowState is always the row's state.
        if (name == "RowState")
            name.clear();
        m_names.push_back(std::move(name));
        m_kinds.push_back(f.kind);
        m_integerRanges.emplace_back(f.minInteger(), f.maxInteger());
    }
    for (std::size_t i = 0; i < width; ++i)
        if (!m_names[i].empty())
            m_fieldByName.emplace(m_names[i], i);
    m_row.assign(width, Cell{});
    m_seenInRow.assign(width, 0);
    m_present.reserve(width);
}

std::size_t RowDataParser::parse(std::size_t position)
{
    m_rowsStart = m_buffer.consumed() + position;
    for (;;) {
        const char *const begin = m_buffer.data();
        const char *const end = begin + m_buffer.size();
        const char *p = begin + position;
        for (;;) {
            const auto *lt = static_cast<const char *>(std::memchr(p, '<', static_cast<std::size_t>(end - p)));
            if (hasNul(p, lt ? lt : end))
                xmlError(QStringLiteral("недопустимый нулевой байт"), false);
            if (!lt) {
                p = end;
                break;
            }
            p = lt;
            const char *next = nullptr;
            const Item item = parseItem(p, end, next);
            if (item == Item::NeedMore)
                break;
            if (item == Item::End)
                return static_cast<std::size_t>(next - begin);
            p = next;
        }
        // The item at p runs past the window: keep it, drop what is done and read at least as much
        // again, so that even a very long row is scanned only a few times.
        const auto done = static_cast<std::size_t>(p - begin);
        if (!m_reserved && m_rowNumber > 0)
            reserveFromSample(m_buffer.consumed() + done - m_rowsStart);
        m_buffer.discard(done);
        position = 0;
        if (!m_buffer.readMore(std::max(PacketBuffer::kBlockSize, m_buffer.size()))) {
            if (m_buffer.size() > 0) // an unclosed quote also runs to the end
                xmlError(QStringLiteral("файл обрывается посреди элемента (файл поврежден или обрезан)"), true);
            throw KalvorError(QStringLiteral("файл обрывается: нет конца раздела данных (файл поврежден или обрезан)"));
        }
    }
}

RowDataParser::Item RowDataParser::parseItem(const char *p, const char *end, const char *&next)
{
    if (end - p < 2)
        return Item::NeedMore;
    switch (p[1]) {
    case '!':
    case '?':
        return skipMarkup(p, end, next) == Scan::Done ? Item::Skipped : Item::NeedMore;
    case '/':
        return scanEndTag(p, end, "ROWDATA", false, next) == Scan::Done ? Item::End : Item::NeedMore;
    default:
        return scanRow(p, end, next) == Scan::Done ? Item::Row : Item::NeedMore;
    }
}

RowDataParser::Scan RowDataParser::skipMarkup(const char *p, const char *end, const char *&next) const
{
    const std::string_view rest(p, static_cast<std::size_t>(end - p));
    std::string_view opener = "<?";
    std::string_view closer = "?>";
    if (p[1] == '!') {
        opener = "<!--";
        closer = "-->";
        if (!rest.starts_with(opener) && !opener.starts_with(rest)) {
            opener = "<![CDATA[";
            closer = "]]>";
        }
        if (rest.size() < opener.size() && opener.starts_with(rest))
            return Scan::NeedMore;
        if (!rest.starts_with(opener))
            xmlError(QStringLiteral("неверная разметка"), false);
    }
    const std::size_t close = rest.find(closer, opener.size());
    if (close == std::string_view::npos)
        return Scan::NeedMore;
    next = p + close + closer.size();
    if (hasNul(p, next))
        xmlError(QStringLiteral("недопустимый нулевой байт"), false);
    return Scan::Done;
}

RowDataParser::Scan RowDataParser::scanRow(const char *p, const char *end, const char *&next)
{
    const char *q = skipName(p + 1, end);
    if (q == end)
        return Scan::NeedMore;
    const std::string_view name(p + 1, static_cast<std::size_t>(q - p - 1));
    if (name != "ROW") {
        if (name.empty())
            xmlError(QStringLiteral("неверный тег"), false);
        throw KalvorError(QStringLiteral("неизвестный элемент <%1> среди строк").arg(quoted(name, m_charset)));
    }
    m_attributes.clear();
    std::size_t expected = 0;
    for (;;) {
        const char *const gap = q;
        q = skipSpaces(q, end);
        if (q == end)
            return Scan::NeedMore;
        if (*q == '/') {
            if (q + 1 == end)
                return Scan::NeedMore;
            if (q[1] != '>')
                xmlError(QStringLiteral("после «/» нет «>»"), true);
            next = q + 2;
            break;
        }
        if (*q == '>') {
            if (skipRowContent(q + 1, end, next) == Scan::NeedMore)
                return Scan::NeedMore;
            break;
        }
        if (q == gap)
            xmlError(QStringLiteral("атрибуты не разделены пробелом"), true);
        Attribute a;
        q = scanAttributeName(q, end, expected, a.field);
        if (!q)
            return Scan::NeedMore;
        if (a.field != kRowState)
            expected = a.field + 1;
        q = skipSpaces(q, end);
        if (q == end)
            return Scan::NeedMore;
        if (*q != '=')
            xmlError(QStringLiteral("у атрибута нет значения"), true);
        q = skipSpaces(q + 1, end);
        if (q == end)
            return Scan::NeedMore;
        const char quote = *q;
        if (quote != '"' && quote != '\'')
            xmlError(QStringLiteral("значение атрибута не в кавычках"), true);
        const char *const value = ++q;
        q = scanValue(q, end, quote, a.flags);
        if (!q)
            return Scan::NeedMore;
        a.value = static_cast<std::size_t>(value - p);
        a.valueLength = static_cast<std::size_t>(q - value);
        m_attributes.push_back(a);
        ++q;
    }
    addRow(p);
    return Scan::Done;
}

// Reads the attribute name at q and finds its column; null when the name runs past the window.
const char *RowDataParser::scanAttributeName(const char *q, const char *end, std::size_t expected,
                                             std::size_t &field) const
{
    // Attributes come in column order, skipping NULL columns: the next few columns are nearly always it,
    // and comparing against them skips scanning the name byte by byte.
    const auto room = static_cast<std::size_t>(end - q);
    for (std::size_t k = expected; k < m_names.size() && k < expected + 3; ++k) {
        const std::string &candidate = m_names[k];
        if (!candidate.empty() && candidate.size() < room && sameBytes(q, candidate)
            && kNameEnd[static_cast<unsigned char>(q[candidate.size()])]) {
            field = k;
            return q + candidate.size();
        }
    }
    const char *const nameEnd = skipName(q, end);
    if (nameEnd == end)
        return nullptr;
    if (nameEnd == q)
        xmlError(QStringLiteral("неверное имя атрибута"), true);
    const std::string_view name(q, static_cast<std::size_t>(nameEnd - q));
    if (name == "RowState") {
        field = kRowState;
        return nameEnd;
    }
    const auto it = m_fieldByName.find(name);
    if (it == m_fieldByName.end())
        throw KalvorError(QStringLiteral("строка %1: поле %2 не описано в таблице")
                              .arg(m_rowNumber + 1)
                              .arg(packetTextToQString(name, m_charset)));
    field = it->second;
    return nameEnd;
}

RowDataParser::Scan RowDataParser::skipRowContent(const char *q, const char *end, const char *&next)
{
    for (;;) {
        const auto *lt = static_cast<const char *>(std::memchr(q, '<', static_cast<std::size_t>(end - q)));
        if (!lt || end - lt < 2)
            return Scan::NeedMore;
        if (hasNul(q, lt))
            xmlError(QStringLiteral("недопустимый нулевой байт"), true);
        if (lt[1] == '!' || lt[1] == '?') {
            if (skipMarkup(lt, end, q) == Scan::NeedMore)
                return Scan::NeedMore;
            continue;
        }
        if (lt[1] != '/')
            throw KalvorError(QStringLiteral("строка %1: вложенные элементы не поддерживаются").arg(m_rowNumber + 1));
        return scanEndTag(lt, end, "ROW", true, next);
    }
}

// The end tag at p, which must close `element`.
RowDataParser::Scan RowDataParser::scanEndTag(const char *p, const char *end, std::string_view element, bool insideRow,
                                              const char *&next) const
{
    const char *q = skipName(p + 2, end);
    const std::string_view name(p + 2, static_cast<std::size_t>(q - p - 2));
    q = skipSpaces(q, end);
    if (q == end)
        return Scan::NeedMore;
    if (*q != '>' || name != element)
        xmlError(QStringLiteral("неожиданный закрывающий тег </%1").arg(quoted(name, m_charset)), insideRow);
    next = q + 1;
    return Scan::Done;
}

void RowDataParser::addRow(const char *base)
{
    if (m_rowNumber == kMaxRows)
        throw KalvorError(QStringLiteral("в таблице больше %1 строк").arg(kMaxRows));
    ++m_rowNumber;
    unsigned state = 0;
    bool ascending = true;
    for (const Attribute &a : m_attributes) {
        const std::string_view raw(base + a.value, a.valueLength);
        if (a.flags & kHasNul)
            throw KalvorError(QStringLiteral("строка %1: недопустимый нулевой байт").arg(m_rowNumber));
        if (a.field == kRowState) {
            const auto v = valuetext::parseInteger(raw);
            if (!v || *v < 0 || *v > 255)
                throw KalvorError(QStringLiteral("строка %1: неверное значение RowState").arg(m_rowNumber));
            state = static_cast<unsigned>(*v);
            continue;
        }
        const std::size_t field = a.field;
        if (m_seenInRow[field] == m_rowNumber)
            throw KalvorError(QStringLiteral("строка %1: поле %2 указано дважды")
                                  .arg(m_rowNumber)
                                  .arg(m_out.fields[static_cast<qsizetype>(field)].name));
        m_seenInRow[field] = m_rowNumber;
        std::string_view value = raw;
        if (a.flags & kNeedsDecoding) {
            decodePacketValue(raw, m_charset, m_scratch);
            value = m_scratch;
            if (m_charset == Charset::Utf8 && !cp1251::isValidUtf8(value))
                throw KalvorError(QStringLiteral("строка %1, поле %2: текст не в кодировке UTF-8")
                                      .arg(m_rowNumber)
                                      .arg(m_out.fields[static_cast<qsizetype>(field)].name));
        }
        const FieldKind kind = m_kinds[field];
        if (kind != FieldKind::String && kind != FieldKind::Other) {
            // Files written by hand leave empty attributes for missing numbers and dates.
            if (value.empty())
                continue;
            const FieldDef &def = m_out.fields[static_cast<qsizetype>(field)];
            bool wellFormed = false;
            if (kind == FieldKind::Integer) {
                const auto v = valuetext::parseInteger(value);
                wellFormed = v && *v >= m_integerRanges[field].first && *v <= m_integerRanges[field].second;
            } else {
                wellFormed = valuetext::isWellFormed(def, value);
            }
            if (!wellFormed)
                throw KalvorError(QStringLiteral("строка %1: значение «%2» поля %3 не соответствует его типу")
                                      .arg(m_rowNumber)
                                      .arg(QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())).left(40))
                                      .arg(def.name));
        }
        m_row[field] = m_out.storeText(value);
        if (!m_present.empty() && field < m_present.back())
            ascending = false;
        m_present.push_back(static_cast<std::uint32_t>(field));
    }
    if (!ascending)
        std::sort(m_present.begin(), m_present.end());
    m_out.appendRecord(m_row.data(), m_present.data(), m_present.size(), state);
    m_cellCount += m_present.size();
    for (const std::uint32_t f : m_present)
        m_row[f] = Cell{};
    m_present.clear();
}

void RowDataParser::reserveFromSample(std::uint64_t sampleBytes)
{
    // Size the table once from the first block so that a large file is not copied while it grows.
    m_reserved = true;
    const std::uint64_t total = m_buffer.sizeHint();
    if (total <= m_rowsStart || sampleBytes == 0)
        return;
    const double share = static_cast<double>(total - m_rowsStart) / static_cast<double>(sampleBytes) * 1.05;
    const auto scaled = [share](std::size_t n) { return static_cast<std::size_t>(static_cast<double>(n) * share) + 16; };
    m_out.reserve(std::min(kMaxRows, scaled(m_out.recordCount())), scaled(m_out.textBytes()), scaled(m_cellCount));
}

void RowDataParser::xmlError(const QString &what, bool insideRow) const
{
    if (insideRow)
        throw KalvorError(QStringLiteral("ошибка XML в строке %1: %2").arg(m_rowNumber + 1).arg(what));
    throw KalvorError(QStringLiteral("ошибка XML после строки %1: %2").arg(m_rowNumber).arg(what));
}

} // namespace kalvor
