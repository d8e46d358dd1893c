#include "sheets/XmlParts.h"

#include "store/KalvorError.h"

#include <QDir>

#include <charconv>
#include <cmath>
#include <cstring>

namespace kalvor::sheets::xml {

std::string_view localName(const char *name)
{
    const std::string_view full(name);
    const std::size_t colon = full.find(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

bool is(const pugi::xml_node &node, std::string_view local)
{
    return localName(node.name()) == local;
}

pugi::xml_node child(const pugi::xml_node &node, std::string_view local)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, local))
            return c;
    return {};
}

pugi::xml_attribute attribute(const pugi::xml_node &node, std::string_view local)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
        if (localName(a.name()) == local)
            return a;
    return {};
}

std::string_view value(const pugi::xml_node &node, std::string_view localAttribute)
{
    const pugi::xml_attribute a = attribute(node, localAttribute);
    return a ? std::string_view(a.value()) : std::string_view();
}

void parse(pugi::xml_document &doc, const QByteArray &bytes, const QString &displayName, const QString &partName)
{
    const unsigned flags = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
    const pugi::xml_parse_result result =
        doc.load_buffer(bytes.constData(), static_cast<std::size_t>(bytes.size()), flags, pugi::encoding_auto);
    if (!result || !doc.document_element())
        throw KalvorError(QStringLiteral("Файл %1 поврежден: часть %2 не читается (%3)")
                              .arg(QDir::toNativeSeparators(displayName), partName,
                                   QString::fromUtf8(result ? "нет корневого элемента" : result.description())));
}

namespace {
struct StringWriter final : pugi::xml_writer {
    std::string out;
    void write(const void *data, std::size_t size) override { out.append(static_cast<const char *>(data), size); }
};
} // namespace

std::string serialize(const pugi::xml_document &doc)
{
    StringWriter writer;
    doc.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return std::move(writer.out);
}

QByteArray serializeBytes(const pugi::xml_document &doc)
{
    const std::string s = serialize(doc);
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

long long toInteger(std::string_view text, long long fallback)
{
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() ? v : fallback;
}

double toDouble(std::string_view text, double fallback)
{
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty() && std::isfinite(v) ? v : fallback;
}

} // namespace kalvor::sheets::xml
