#include "store/PacketText.h"

#include "store/Cp1251.h"

#include <array>

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

} // namespace

void PacketText::value(std::string_view utf8)
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


void PacketText::value(const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    value(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

void PacketText::attribute(std::string_view name, std::string_view utf8Value)
{
    out += ' ';
    value(name);
    out += "=\"";
    value(utf8Value);
    out += '"';
}

void PacketText::attribute(const QByteArray &name, const QByteArray &v)
{
    attribute(std::string_view(name.constData(), static_cast<std::size_t>(name.size())),
              std::string_view(v.constData(), static_cast<std::size_t>(v.size())));
}

std::string_view packetProlog(bool ansi)
{
    return ansi ? "<?xml version=\"1.0\" standalone=\"yes\"?>" : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
}

void writePacketHeader(PacketText &t, const TableData &data, bool ansi, const std::vector<std::uint32_t> &position)
{
    t.raw(packetProlog(ansi));
    t.raw(kPacketEol);
    t.raw("<DATAPACKET Version=\"2.0\">");
    t.raw(kPacketEol);
    t.raw("<METADATA>");
    t.raw(kPacketEol);
    t.raw("<FIELDS>");
    t.raw(kPacketEol);
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
        t.raw(kPacketEol);
    }
    t.raw("</FIELDS>");
    t.raw(kPacketEol);
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
        t.raw(kPacketEol);
    }
    t.raw("</METADATA>");
    t.raw(kPacketEol);
}

} // namespace kalvor
