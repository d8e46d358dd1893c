#include "store/DataPacketWriter.h"

#include "store/BinaryPacket.h"
#include "store/Cp1251.h"
#include "store/KalvorError.h"

#include <QFileInfo>
#include <QSaveFile>

#include <array>
#include <string>

namespace kalvor {
namespace {

// What each ASCII byte becomes inside an attribute value; empty means "as it is".
struct EscapeTable {
    std::array<const char *, 128> entity{};
    constexpr EscapeTable()
    {
        entity['"'] = "&quot;";
        entity['&'] = "&amp;";
        entity['<'] = "&lt;";
        entity['>'] = "&gt;";
        entity['\''] = "&apos;";
        entity['\t'] = "&#9;";
        entity['\n'] = "&#10;";
        entity['\r'] = "&#13;";
    }
};
constexpr EscapeTable kEscapes;

class NotAnsi final {};

class PacketText final {
public:
    explicit PacketText(bool ansi) : m_ansi(ansi) {}

    std::string out;

    void raw(std::string_view s) { out.append(s); }

    // Escapes and, in the 8-bit form, re-encodes a UTF-8 value; throws NotAnsi when it does not fit.
    void value(std::string_view utf8)
    {
        std::size_t start = 0;
        const std::size_t n = utf8.size();
        for (std::size_t i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (c >= 0x80) {
                if (!m_ansi)
                    continue;
                std::size_t end = i;
                while (end < n && static_cast<unsigned char>(utf8[end]) >= 0x80)
                    ++end;
                out.append(utf8.data() + start, i - start);
                if (!cp1251::appendFromUtf8(out, utf8.substr(i, end - i)))
                    throw NotAnsi();
                start = end;
                i = end - 1;
                continue;
            }
            const char *entity = kEscapes.entity[c];
            if (!entity && c < 0x20) {
                out.append(utf8.data() + start, i - start);
                out += "&#" + std::to_string(c) + ';';
                start = i + 1;
                continue;
            }
            if (entity) {
                out.append(utf8.data() + start, i - start);
                out.append(entity);
                start = i + 1;
            }
        }
        out.append(utf8.data() + start, n - start);
    }

    void value(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        value(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }

    void value(const QByteArray &s) { value(std::string_view(s.constData(), static_cast<std::size_t>(s.size()))); }

    void attribute(std::string_view name, std::string_view utf8Value)
    {
        out += ' ';
        value(name);
        out += "=\"";
        value(utf8Value);
        out += '"';
    }

    void attribute(const QByteArray &name, const QByteArray &v)
    {
        out += ' ';
        value(name);
        out += "=\"";
        value(v);
        out += '"';
    }

private:
    bool m_ansi;
};

constexpr std::string_view kEol = "\r\n";

void writeHeader(PacketText &t, const TableData &data, bool ansi, const std::vector<std::uint32_t> &position)
{
    t.raw(ansi ? "<?xml version=\"1.0\" standalone=\"yes\"?>" : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>");
    t.raw(kEol);
    t.raw("<DATAPACKET Version=\"2.0\">");
    t.raw(kEol);
    t.raw("<METADATA>");
    t.raw(kEol);
    t.raw("<FIELDS>");
    t.raw(kEol);
    for (const FieldDef &f : data.fields) {
        t.raw("<FIELD");
        t.attribute(QByteArrayLiteral("attrname"), f.name.toUtf8());
        t.attribute(QByteArrayLiteral("fieldtype"), f.typeName);
        if (!f.subtype.isEmpty())
            t.attribute(QByteArrayLiteral("SUBTYPE"), f.subtype);
        if (f.kind == FieldKind::Fixed || f.decimals > 0)
            t.attribute(QByteArrayLiteral("DECIMALS"), QByteArray::number(f.decimals));
        if (f.width > 0)
            t.attribute(QByteArrayLiteral("WIDTH"), QByteArray::number(f.width));
        for (const auto &[name, v] : f.extraAttributes)
            t.attribute(name, v);
        t.raw(" />");
        t.raw(kEol);
    }
    t.raw("</FIELDS>");
    t.raw(kEol);
    if (!data.changeLog.empty() || !data.params.isEmpty()) {
        t.raw("<PARAMS");
        for (const auto &[name, v] : data.params)
            t.attribute(name, v);
        if (!data.changeLog.empty()) {
            std::string log;
            log.reserve(data.changeLog.size() * 12);
            for (const ChangeLogEntry &e : data.changeLog) {
                if (!log.empty())
                    log += ' ';
                log += std::to_string(position[e.record] + 1);
                log += ' ';
                log += std::to_string(e.previous == ChangeLogEntry::kNone ? 0 : position[e.previous] + 1);
                log += ' ';
                log += std::to_string(e.action);
            }
            t.attribute("CHANGE_LOG", log);
        }
        t.raw(" />");
        t.raw(kEol);
    }
    t.raw("</METADATA>");
    t.raw(kEol);
}

std::string serialize(const TableData &data, bool ansi)
{
    const std::vector<std::uint32_t> order = data.fileOrder();
    std::vector<std::uint32_t> position(order.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        position[order[i]] = i;

    std::vector<std::string> attrPrefix; // ' name="' for each column, encoded once
    for (const FieldDef &f : data.fields) {
        PacketText name(ansi);
        name.raw(" ");
        name.value(f.name);
        name.raw("=\"");
        attrPrefix.push_back(std::move(name.out));
    }

    PacketText t(ansi);
    t.out.reserve(data.textBytes() + order.size() * (24 + 16 * static_cast<std::size_t>(data.fieldCount())) + 4096);
    writeHeader(t, data, ansi, position);
    t.raw("<ROWDATA>");
    t.raw(kEol);
    const int fieldCount = data.fieldCount();
    for (const std::uint32_t record : order) {
        t.raw("<ROW RowState=\"");
        t.raw(std::to_string(data.rowState(record)));
        t.raw("\"");
        const Cell *cells = data.recordCells(record);
        for (int f = 0; f < fieldCount; ++f) {
            if (cells[f].isNull())
                continue;
            t.raw(attrPrefix[static_cast<std::size_t>(f)]);
            t.value(data.text(cells[f]));
            t.raw("\"");
        }
        t.raw(" />");
        t.raw(kEol);
    }
    t.raw("</ROWDATA>");
    t.raw(kEol);
    t.raw("</DATAPACKET>");
    t.raw(kEol);
    return std::move(t.out);
}

} // namespace

PacketForm packetFormForName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(u"xml", Qt::CaseInsensitive) == 0 ? PacketForm::Xml : PacketForm::Binary;
}

namespace {

std::string serializeForm(const TableData &data, PacketForm form)
{
    if (form == PacketForm::Xml) {
        try {
            return serialize(data, true);
        } catch (const NotAnsi &) {
            return serialize(data, false);
        }
    }
    const std::string text = serialize(data, false);
    const QByteArray packed = encodeBinaryPacket(QByteArray::fromRawData(text.data(), static_cast<qsizetype>(text.size())));
    return std::string(packed.constData(), static_cast<std::size_t>(packed.size()));
}

} // namespace

QByteArray serializeDataPacket(const TableData &data, PacketForm form)
{
    const std::string text = serializeForm(data, form);
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

void saveDataPacketFile(const TableData &data, const QString &fileName)
{
    const std::string bytes = serializeForm(data, packetFormForName(fileName));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString()));
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) || !file.commit())
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(fileName, file.errorString()));
}

} // namespace kalvor
