#include "store/DataPacketReader.h"

#include "store/BinaryPacket.h"
#include "store/Cp1251.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_map>

namespace kalvor {
namespace {

constexpr std::size_t kBlockSize = 1u << 20;
constexpr std::size_t kMaxHeaderSize = 16u << 20;

class PacketError final {
public:
    explicit PacketError(QString what) : text(std::move(what)) {}
    QString text;
};

// Streams the device through a rolling buffer so that a large file never sits in memory whole.
class BlockSource final {
public:
    explicit BlockSource(QIODevice &device) : m_device(device) {}

    std::string buffer;
    bool atEnd() const { return m_eof; }

    // Reads at least one more block unless the device is exhausted; false when nothing was added.
    bool readMore()
    {
        if (m_eof)
            return false;
        const std::size_t old = buffer.size();
        // A small input (a fuzz case, a reference book) does not need a whole block.
        std::size_t block = kBlockSize;
        if (!m_device.isSequential())
            block = std::clamp<std::size_t>(static_cast<std::size_t>(std::max<qint64>(m_device.bytesAvailable(), 0)) + 1, 4096, kBlockSize);
        buffer.resize(old + block);
        const qint64 got = m_device.read(buffer.data() + old, static_cast<qint64>(block));
        if (got < 0)
            throw PacketError(QStringLiteral("ошибка чтения: %1").arg(m_device.errorString()));
        buffer.resize(old + static_cast<std::size_t>(got));
        if (got == 0)
            m_eof = true;
        return got > 0;
    }

    void discardBefore(std::size_t position) { buffer.erase(0, position); }

private:
    QIODevice &m_device;
    bool m_eof = false;
};

enum class Charset { Ansi, Utf8 };

Charset charsetOfProlog(std::string_view head, bool hadBom)
{
    if (hadBom)
        return Charset::Utf8;
    if (head.substr(0, 5) != "<?xml")
        return Charset::Ansi;
    const std::size_t end = head.find("?>");
    const std::string_view prolog = head.substr(0, end == std::string_view::npos ? head.size() : end);
    const std::size_t enc = prolog.find("encoding");
    if (enc == std::string_view::npos)
        return Charset::Ansi;
    std::size_t q = prolog.find_first_of("\"'", enc);
    if (q == std::string_view::npos)
        return Charset::Ansi;
    const std::size_t qe = prolog.find(prolog[q], q + 1);
    QByteArray name(prolog.data() + q + 1,
                    static_cast<qsizetype>((qe == std::string_view::npos ? prolog.size() : qe) - q - 1));
    const QByteArray lower = name.toLower();
    if (lower == "utf-8" || lower == "utf8")
        return Charset::Utf8;
    if (lower == "windows-1251" || lower == "cp1251" || lower == "win-1251")
        return Charset::Ansi;
    throw PacketError(QStringLiteral("кодировка «%1» не поддерживается").arg(QString::fromLatin1(name)));
}

// Decodes entities and the file's charset into UTF-8. An unknown entity stays as written, since files
// written by hand may carry a bare "&".
void decodeValue(std::string_view raw, Charset charset, std::string &out)
{
    out.clear();
    std::size_t start = 0;
    const std::size_t n = raw.size();
    const auto flush = [&](std::size_t upTo) {
        if (upTo > start) {
            const std::string_view run = raw.substr(start, upTo - start);
            if (charset == Charset::Ansi)
                cp1251::appendUtf8(out, run);
            else
                out.append(run);
        }
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (raw[i] != '&')
            continue;
        const std::size_t semi = raw.find(';', i + 1);
        if (semi == std::string_view::npos || semi - i > 12)
            continue;
        const std::string_view name = raw.substr(i + 1, semi - i - 1);
        char simple = 0;
        if (name == "quot")
            simple = '"';
        else if (name == "amp")
            simple = '&';
        else if (name == "lt")
            simple = '<';
        else if (name == "gt")
            simple = '>';
        else if (name == "apos")
            simple = '\'';
        if (simple) {
            flush(i);
            out.push_back(simple);
            start = semi + 1;
            i = semi;
            continue;
        }
        if (name.size() < 2 || name[0] != '#')
            continue;
        unsigned long code = 0;
        bool ok = true;
        if (name[1] == 'x' || name[1] == 'X') {
            ok = name.size() > 2;
            for (std::size_t k = 2; k < name.size() && ok; ++k) {
                const char c = name[k];
                const int d = (c >= '0' && c <= '9') ? c - '0'
                              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
                ok = d >= 0;
                code = code * 16 + static_cast<unsigned long>(d);
            }
        } else {
            for (std::size_t k = 1; k < name.size() && ok; ++k) {
                ok = name[k] >= '0' && name[k] <= '9';
                code = code * 10 + static_cast<unsigned long>(name[k] - '0');
            }
        }
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            continue;
        flush(i);
        // In the 8-bit form a character reference above 127 stands for one byte of the code page.
        if (charset == Charset::Ansi && code >= 128 && code <= 255)
            cp1251::appendByteAsUtf8(out, static_cast<unsigned char>(code));
        else
            cp1251::appendCodePoint(out, static_cast<char32_t>(code));
        start = semi + 1;
        i = semi;
    }
    flush(n);
}

bool needsDecoding(std::string_view raw)
{
    for (char c : raw)
        if (c == '&' || static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

QString utf8ToQString(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

class PacketParser final {
public:
    PacketParser(BlockSource &source, TableData &out) : m_source(source), m_out(out) {}

    void parse(qint64 totalSize, bool hadBom);

private:
    std::size_t parseHeader(bool hadBom);
    void parseMetadata(std::string_view header);
    void parseChangeLog(std::string_view text);
    void parseRows(std::size_t position, qint64 totalSize);
    void addRows(const pugi::xml_node &parent);
    void finish();

    BlockSource &m_source;
    TableData &m_out;
    Charset m_charset = Charset::Ansi;
    std::unordered_map<std::string, int> m_fieldByName;
    std::vector<std::string> m_fieldNames; // as written in the file's charset, for the fast path
    std::vector<Cell> m_row;
    std::string m_scratch;
    std::vector<std::array<std::uint32_t, 3>> m_rawLog;
    std::size_t m_rowNumber = 0;
    bool m_reserved = false;
};

std::size_t PacketParser::parseHeader(bool hadBom)
{
    // The header runs up to and including the ROWDATA start tag.
    std::size_t rowdata;
    for (;;) {
        rowdata = m_source.buffer.find("<ROWDATA");
        if (rowdata != std::string::npos) {
            const std::size_t close = m_source.buffer.find('>', rowdata);
            if (close != std::string::npos) {
                m_charset = charsetOfProlog(m_source.buffer, hadBom);
                parseMetadata(std::string_view(m_source.buffer).substr(0, rowdata));
                if (m_source.buffer[close - 1] == '/')
                    return std::string::npos; // <ROWDATA/>: no rows
                return close + 1;
            }
        }
        if (m_source.buffer.size() > kMaxHeaderSize || !m_source.readMore())
            break;
    }
    if (m_source.buffer.find("<DATAPACKET") == std::string::npos)
        throw PacketError(QStringLiteral("это не файл пакета данных"));
    throw PacketError(QStringLiteral("нет раздела данных ROWDATA (файл поврежден или обрезан)"));
}

void PacketParser::parseMetadata(std::string_view header)
{
    std::string text;
    if (m_charset == Charset::Ansi)
        cp1251::appendUtf8(text, header);
    else
        text.assign(header);
    text += "</DATAPACKET>";
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed =
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        throw PacketError(QStringLiteral("ошибка в описании полей: %1").arg(QString::fromUtf8(parsed.description())));
    const pugi::xml_node packet = doc.child("DATAPACKET");
    if (!packet)
        throw PacketError(QStringLiteral("это не файл пакета данных"));
    const pugi::xml_node metadata = packet.child("METADATA");
    const pugi::xml_node fieldsNode = metadata.child("FIELDS");
    if (!metadata || !fieldsNode)
        throw PacketError(QStringLiteral("нет описания полей (METADATA/FIELDS)"));

    QList<FieldDef> fields;
    for (const pugi::xml_node f : fieldsNode.children()) {
        if (f.type() != pugi::node_element)
            continue;
        if (std::strcmp(f.name(), "FIELD") != 0)
            throw PacketError(QStringLiteral("неизвестный элемент <%1> в описании полей").arg(QString::fromUtf8(f.name())));
        if (f.child("FIELDS"))
            throw PacketError(QStringLiteral("вложенные таблицы не поддерживаются"));
        FieldDef def;
        for (const pugi::xml_attribute a : f.attributes()) {
            const std::string_view name = a.name();
            if (name == "attrname")
                def.name = QString::fromUtf8(a.value());
            else if (name == "fieldtype")
                def.typeName = a.value();
            else if (name == "SUBTYPE")
                def.subtype = a.value();
            else if (name == "WIDTH")
                def.width = a.as_int();
            else if (name == "DECIMALS")
                def.decimals = a.as_int();
            else
                def.extraAttributes.append({QByteArray(a.name()), QByteArray(a.value())});
        }
        if (def.name.isEmpty() || def.typeName.isEmpty())
            throw PacketError(QStringLiteral("у поля нет имени или типа"));
        for (const FieldDef &other : fields)
            if (other.name == def.name)
                throw PacketError(QStringLiteral("поле %1 описано дважды").arg(def.name));
        def.kind = fieldKindOf(def.typeName);
        if (def.width < 0 || def.decimals < 0 || def.decimals > 30)
            throw PacketError(QStringLiteral("неверный размер поля %1").arg(def.name));
        fields.append(def);
    }
    if (fields.isEmpty())
        throw PacketError(QStringLiteral("в таблице нет полей"));
    m_out.resetFields(fields);

    for (int i = 0; i < fields.size(); ++i) {
        const QByteArray utf8 = fields[i].name.toUtf8();
        m_fieldByName.emplace(std::string(utf8.constData(), static_cast<std::size_t>(utf8.size())), i);
    }
    m_row.assign(static_cast<std::size_t>(fields.size()), Cell{});

    for (const pugi::xml_node params : metadata.children("PARAMS")) {
        for (const pugi::xml_attribute a : params.attributes()) {
            if (std::strcmp(a.name(), "CHANGE_LOG") == 0)
                parseChangeLog(a.value());
            else
                m_out.params.append({QByteArray(a.name()), QByteArray(a.value())});
        }
    }
}

void PacketParser::parseChangeLog(std::string_view text)
{
    std::vector<std::uint32_t> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
            ++i;
        if (i >= text.size())
            break;
        std::uint64_t v = 0;
        std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 10)
            v = v * 10 + static_cast<std::uint64_t>(text[i++] - '0');
        if (i == start || (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n')
            || v > 0xFFFFFFF0u)
            throw PacketError(QStringLiteral("неверный журнал изменений CHANGE_LOG"));
        numbers.push_back(static_cast<std::uint32_t>(v));
    }
    if (numbers.size() % 3 != 0)
        throw PacketError(QStringLiteral("неверный журнал изменений CHANGE_LOG"));
    for (std::size_t k = 0; k < numbers.size(); k += 3)
        m_rawLog.push_back({numbers[k], numbers[k + 1], numbers[k + 2]});
}

void PacketParser::addRows(const pugi::xml_node &parent)
{
    const int fieldCount = m_out.fieldCount();
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        ++m_rowNumber;
        if (std::strcmp(node.name(), "ROW") != 0)
            throw PacketError(QStringLiteral("неизвестный элемент <%1> среди строк").arg(QString::fromUtf8(node.name())));
        std::fill(m_row.begin(), m_row.end(), Cell{});
        unsigned state = 0;
        int expected = 0;
        for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
            const char *name = a.name();
            if (std::strcmp(name, "RowState") == 0) {
                const auto v = valuetext::parseInteger(a.value());
                if (!v || *v < 0 || *v > 255)
                    throw PacketError(QStringLiteral("строка %1: неверное значение RowState").arg(m_rowNumber));
                state = static_cast<unsigned>(*v);
                continue;
            }
            // Attributes come in column order, so the next column is nearly always the one.
            int field = -1;
            for (int k = expected; k < fieldCount; ++k) {
                if (m_fieldNames[static_cast<std::size_t>(k)] == name) {
                    field = k;
                    break;
                }
            }
            if (field < 0) {
                std::string key = name;
                if (m_charset == Charset::Ansi) {
                    key.clear();
                    cp1251::appendUtf8(key, name);
                }
                const auto it = m_fieldByName.find(key);
                if (it == m_fieldByName.end())
                    throw PacketError(QStringLiteral("строка %1: поле %2 не описано в таблице")
                                          .arg(m_rowNumber)
                                          .arg(utf8ToQString(key)));
                field = it->second;
            }
            expected = field + 1;
            Cell &cell = m_row[static_cast<std::size_t>(field)];
            if (!cell.isNull())
                throw PacketError(QStringLiteral("строка %1: поле %2 указано дважды")
                                      .arg(m_rowNumber)
                                      .arg(m_out.fields[field].name));
            const FieldDef &def = m_out.fields[field];
            const std::string_view raw = a.value();
            std::string_view value = raw;
            if (needsDecoding(raw)) {
                decodeValue(raw, m_charset, m_scratch);
                value = m_scratch;
                if (m_charset == Charset::Utf8 && !cp1251::isValidUtf8(value))
                    throw PacketError(QStringLiteral("строка %1, поле %2: текст не в кодировке UTF-8")
                                          .arg(m_rowNumber)
                                          .arg(def.name));
            }
            if (def.kind != FieldKind::String && def.kind != FieldKind::Other) {
                // Files written by hand leave empty attributes for missing numbers and dates.
                if (value.empty())
                    continue;
                if (!valuetext::isWellFormed(def, value))
                    throw PacketError(QStringLiteral("строка %1: значение «%2» поля %3 не соответствует его типу")
                                          .arg(m_rowNumber)
                                          .arg(utf8ToQString(value).left(40))
                                          .arg(def.name));
            }
            cell = m_out.storeText(value);
        }
        m_out.appendRecord(m_row.data(), state);
    }
}

void PacketParser::parseRows(std::size_t position, qint64 totalSize)
{
    pugi::xml_document chunkDoc;
    std::size_t want = kBlockSize;
    for (;;) {
        while (m_source.buffer.size() - position < want && m_source.readMore()) {
        }
        std::string &buf = m_source.buffer;
        const std::size_t closing = buf.find("</ROWDATA", position);
        const bool last = closing != std::string::npos;
        std::size_t end = closing;
        if (!last) {
            if (m_source.atEnd())
                throw PacketError(QStringLiteral("файл обрывается: нет конца раздела данных (файл поврежден или обрезан)"));
            end = buf.rfind("<ROW", buf.size() - 1);
            if (end == std::string::npos || end <= position) {
                want *= 2; // one row longer than a block
                continue;
            }
        }
        const std::size_t length = end - position;
        if (length > 0) {
            const pugi::xml_parse_result parsed =
                chunkDoc.load_buffer_inplace(buf.data() + position, length, pugi::parse_fragment, pugi::encoding_utf8);
            if (!parsed) {
                if (!last) {
                    want *= 2; // a "<ROW" inside a value split a row: take a longer run
                    continue;
                }
                throw PacketError(QStringLiteral("ошибка XML после строки %1: %2")
                                      .arg(m_rowNumber)
                                      .arg(QString::fromUtf8(parsed.description())));
            }
            const std::size_t before = m_out.recordCount();
            const std::size_t textBefore = m_out.textBytes();
            addRows(chunkDoc);
            if (!m_reserved && totalSize > 0 && m_out.recordCount() > before) {
                // Size the table once from the first block so that a large file is not copied while growing.
                m_reserved = true;
                const double share = static_cast<double>(totalSize) / static_cast<double>(length);
                const auto rows = static_cast<std::size_t>(static_cast<double>(m_out.recordCount() - before) * share * 1.05) + 16;
                const auto text = static_cast<std::size_t>(static_cast<double>(m_out.textBytes() - textBefore) * share * 1.05) + 1024;
                m_out.reserve(rows, text);
            }
        }
        want = kBlockSize;
        if (last) {
            position = end;
            break;
        }
        m_source.discardBefore(end);
        position = 0;
    }
    // The packet must end properly: a cut-off file is refused rather than half-read.
    for (;;) {
        if (m_source.buffer.find("</DATAPACKET", position) != std::string::npos)
            return;
        if (!m_source.readMore())
            throw PacketError(QStringLiteral("файл обрывается: нет конца пакета данных (файл поврежден или обрезан)"));
    }
}

void PacketParser::finish()
{
    const std::size_t count = m_out.recordCount();
    for (const auto &[record, previous, action] : m_rawLog) {
        // Entries that point outside the rows can only come from a damaged log; they are dropped.
        if (record == 0 || record > count || previous > count)
            continue;
        ChangeLogEntry entry;
        entry.record = record - 1;
        entry.previous = previous == 0 ? ChangeLogEntry::kNone : previous - 1;
        entry.action = action;
        m_out.changeLog.push_back(entry);
        // A new version of a changed row is presented in the place of its original.
        if (action == ChangeAction::Modify && previous != 0 && entry.previous < entry.record) {
            TableData::Place place = m_out.place(entry.previous);
            m_out.setPlace(entry.record, place);
        }
    }
}

void PacketParser::parse(qint64 totalSize, bool hadBom)
{
    const std::size_t rowsStart = parseHeader(hadBom);
    m_fieldNames.clear();
    for (const FieldDef &f : m_out.fields) {
        const QByteArray utf8 = f.name.toUtf8();
        std::string name(utf8.constData(), static_cast<std::size_t>(utf8.size()));
        if (m_charset == Charset::Ansi) {
            std::string ansi;
            if (cp1251::appendFromUtf8(ansi, name))
                name = ansi;
        }
        m_fieldNames.push_back(name);
    }
    if (rowsStart != std::string::npos)
        parseRows(rowsStart, totalSize);
    finish();
}

void readTextPacket(BlockSource &source, qint64 totalSize, TableData &out)
{
    bool hadBom = false;
    if (source.buffer.size() >= 3 && source.buffer.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        source.discardBefore(3);
        hadBom = true;
    }
    // Leading blanks before the prolog are tolerated.
    std::size_t lead = 0;
    while (lead < source.buffer.size() && std::strchr(" \t\r\n", source.buffer[lead]) && source.buffer[lead] != 0)
        ++lead;
    source.discardBefore(lead);
    if (source.buffer.empty())
        throw PacketError(QStringLiteral("файл пуст"));
    if (source.buffer[0] != '<')
        throw PacketError(QStringLiteral("это не файл пакета данных"));
    PacketParser parser(source, out);
    parser.parse(totalSize, hadBom);
}

} // namespace

void readDataPacket(QIODevice &device, const QString &displayName, TableData &out)
{
    out.resetFields({});
    out.params.clear();
    try {
        BlockSource source(device);
        source.readMore();
        if (isBinaryPacket(source.buffer)) {
            while (source.readMore()) {
            }
            QByteArray xml = decodeBinaryPacket(source.buffer);
            source.buffer.clear();
            source.buffer.shrink_to_fit();
            QBuffer inner(&xml);
            inner.open(QIODevice::ReadOnly);
            BlockSource innerSource(inner);
            innerSource.readMore();
            readTextPacket(innerSource, xml.size(), out);
        } else {
            readTextPacket(source, device.isSequential() ? 0 : device.size(), out);
        }
    } catch (const PacketError &e) {
        out.resetFields({});
        out.params.clear();
        throw KalvorError(QStringLiteral("Файл %1: %2").arg(displayName, e.text));
    } catch (const KalvorError &e) {
        out.resetFields({});
        out.params.clear();
        throw KalvorError(QStringLiteral("Файл %1: %2").arg(displayName, e.message()));
    } catch (const std::bad_alloc &) {
        out.resetFields({});
        out.params.clear();
        throw KalvorError(QStringLiteral("Файл %1: недостаточно памяти для чтения").arg(displayName));
    }
}

void readDataPacketFile(const QString &fileName, TableData &out)
{
    QFile file;
    openRegularFile(file, fileName);
    readDataPacket(file, fileName, out);
}

void readDataPacketBytes(QByteArrayView bytes, const QString &displayName, TableData &out)
{
    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    readDataPacket(buffer, displayName, out);
}

} // namespace kalvor
