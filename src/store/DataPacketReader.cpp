#include "store/DataPacketReader.h"

#include "store/BinaryPacket.h"
#include "store/Cp1251.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/PacketInput.h"
#include "store/PacketValue.h"
#include "store/RowDataParser.h"

#include <QBuffer>
#include <QFile>
#include <QSet>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace kalvor {
namespace {

// The header (prolog and METADATA) of a real table is a few kilobytes; its change log may run to
// megabytes, but as one attribute.
constexpr std::size_t kMaxHeaderSize = 16u << 20;
constexpr int kMaxFields = 4096;
// Elements and attributes the header may hold: a few per column and some to spare, so that a crafted
// header cannot make the tree that describes it huge.
constexpr std::size_t kMaxHeaderTags = 2 * kMaxFields + 256;
constexpr std::size_t kMaxHeaderAttributes = 16 * kMaxFields;

class PacketParser final {
public:
    PacketParser(PacketBuffer &buffer, TableData &out) : m_buffer(buffer), m_out(out) {}

    void parse(bool hadBom);

private:
    std::size_t parseHeader(bool hadBom, bool &hasRows);
    void parseMetadata(std::string_view header);
    void parseChangeLog(std::string_view text);
    void requireEnd(std::size_t position);
    void finish();

    PacketBuffer &m_buffer;
    TableData &m_out;
    Charset m_charset = Charset::Ansi;
    std::vector<std::array<std::uint32_t, 3>> m_rawLog;
};

std::size_t PacketParser::parseHeader(bool hadBom, bool &hasRows)
{
    // The header runs up to and including the ROWDATA start tag.
    std::size_t searched = 0;
    for (;;) {
        const std::string_view text = m_buffer.view();
        const std::size_t rowdata = text.find("<ROWDATA", searched);
        if (rowdata != std::string_view::npos) {
            const std::size_t close = text.find('>', rowdata);
            if (close != std::string_view::npos) {
                m_charset = charsetOfProlog(text, hadBom);
                parseMetadata(text.substr(0, rowdata));
                hasRows = text[close - 1] != '/'; // <ROWDATA/>: no rows
                return close + 1;
            }
            searched = rowdata;
        } else {
            searched = text.size() < 8 ? 0 : text.size() - 8;
        }
        if (text.size() > kMaxHeaderSize || !m_buffer.readMore())
            break;
    }
    if (m_buffer.view().find("<DATAPACKET") == std::string_view::npos)
        throw KalvorError(QStringLiteral("это не файл пакета данных"));
    if (m_buffer.size() > kMaxHeaderSize)
        throw KalvorError(QStringLiteral("описание полей длиннее %1 МБ").arg(kMaxHeaderSize >> 20));
    throw KalvorError(QStringLiteral("нет раздела данных ROWDATA (файл поврежден или обрезан)"));
}

void checkHeaderSize(std::string_view header)
{
    const auto tags = static_cast<std::size_t>(std::count(header.begin(), header.end(), '<'));
    const auto attributes = static_cast<std::size_t>(std::count(header.begin(), header.end(), '='));
    if (tags > kMaxHeaderTags || attributes > kMaxHeaderAttributes)
        throw KalvorError(QStringLiteral("в описании полей больше %1 полей").arg(kMaxFields));
}

void PacketParser::parseMetadata(std::string_view header)
{
    checkHeaderSize(header);
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
        throw KalvorError(QStringLiteral("ошибка в описании полей: %1").arg(QString::fromUtf8(parsed.description())));
    const pugi::xml_node packet = doc.child("DATAPACKET");
    if (!packet)
        throw KalvorError(QStringLiteral("это не файл пакета данных"));
    const pugi::xml_node metadata = packet.child("METADATA");
    const pugi::xml_node fieldsNode = metadata.child("FIELDS");
    if (!metadata || !fieldsNode)
        throw KalvorError(QStringLiteral("нет описания полей (METADATA/FIELDS)"));

    QList<FieldDef> fields;
    QSet<QString> names;
    for (const pugi::xml_node f : fieldsNode.children()) {
        if (f.type() != pugi::node_element)
            continue;
        if (std::strcmp(f.name(), "FIELD") != 0)
            throw KalvorError(QStringLiteral("неизвестный элемент <%1> в описании полей").arg(QString::fromUtf8(f.name())));
        if (f.child("FIELDS"))
            throw KalvorError(QStringLiteral("вложенные таблицы не поддерживаются"));
        if (fields.size() == kMaxFields)
            throw KalvorError(QStringLiteral("в описании полей больше %1 полей").arg(kMaxFields));
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
            throw KalvorError(QStringLiteral("у поля нет имени или типа"));
        if (names.contains(def.name))
            throw KalvorError(QStringLiteral("поле %1 описано дважды").arg(def.name));
        names.insert(def.name);
        def.kind = fieldKindOf(def.typeName);
        if (def.width < 0 || def.decimals < 0 || def.decimals > 30)
            throw KalvorError(QStringLiteral("неверный размер поля %1").arg(def.name));
        fields.append(def);
    }
    if (fields.isEmpty())
        throw KalvorError(QStringLiteral("в таблице нет полей"));
    m_out.resetFields(fields);

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
    const auto isBlank = [&text](std::size_t k) {
        return text[k] == ' ' || text[k] == '\t' || text[k] == '\r' || text[k] == '\n';
    };
    while (i < text.size()) {
        while (i < text.size() && isBlank(i))
            ++i;
        if (i >= text.size())
            break;
        std::uint64_t v = 0;
        const std::size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 10)
            v = v * 10 + static_cast<std::uint64_t>(text[i++] - '0');
        if (i == start || (i < text.size() && !isBlank(i)) || v > 0xFFFFFFF0u)
            throw KalvorError(QStringLiteral("неверный журнал изменений CHANGE_LOG"));
        numbers.push_back(static_cast<std::uint32_t>(v));
    }
    if (numbers.size() % 3 != 0)
        throw KalvorError(QStringLiteral("неверный журнал изменений CHANGE_LOG"));
    for (std::size_t k = 0; k < numbers.size(); k += 3)
        m_rawLog.push_back({numbers[k], numbers[k + 1], numbers[k + 2]});
}

// The packet must end properly: a cut-off file is refused rather than half-read.
void PacketParser::requireEnd(std::size_t position)
{
    m_buffer.discard(position);
    std::size_t searched = 0;
    for (;;) {
        const std::string_view text = m_buffer.view();
        if (text.find("</DATAPACKET", searched) != std::string_view::npos)
            return;
        searched = text.size() < 12 ? 0 : text.size() - 12;
        if (!m_buffer.readMore())
            throw KalvorError(QStringLiteral("файл обрывается: нет конца пакета данных (файл поврежден или обрезан)"));
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
        if (action == ChangeAction::Modify && previous != 0 && entry.previous < entry.record)
            m_out.setPlace(entry.record, m_out.place(entry.previous));
    }
}

void PacketParser::parse(bool hadBom)
{
    bool hasRows = false;
    std::size_t position = parseHeader(hadBom, hasRows);
    if (hasRows)
        position = RowDataParser(m_buffer, m_out, m_charset).parse(position);
    requireEnd(position);
    finish();
}

void readText(PacketBuffer &buffer, TableData &out)
{
    buffer.fill(3);
    bool hadBom = false;
    if (buffer.view().starts_with("\xEF\xBB\xBF")) {
        buffer.discard(3);
        hadBom = true;
    }
    // Leading blanks before the prolog are tolerated.
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (buffer.fill(1) && isBlank(buffer.data()[0]))
        buffer.discard(1);
    if (buffer.size() == 0)
        throw KalvorError(QStringLiteral("файл пуст"));
    if (buffer.data()[0] != '<')
        throw KalvorError(QStringLiteral("это не файл пакета данных"));
    PacketParser(buffer, out).parse(hadBom);
}

} // namespace

void readDataPacket(QIODevice &device, const QString &displayName, TableData &out)
{
    out.resetFields({});
    out.params.clear();
    try {
        DeviceInput input(device);
        PacketBuffer raw(input);
        raw.fill(kBinaryMagicSize);
        if (isBinaryPacket(raw.view())) {
            const std::unique_ptr<PacketInput> inflated = openBinaryPacket(raw);
            PacketBuffer text(*inflated);
            readText(text, out);
            // Inflated to its end, so that its size and checksum are checked even past </DATAPACKET>.
            do
                text.discard(text.size());
            while (text.readMore());
        } else {
            readText(raw, out);
        }
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
