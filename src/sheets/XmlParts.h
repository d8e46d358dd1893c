#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace kalvor::sheets::xml {

// Parts of a workbook may use any namespace prefix, so elements and attributes are matched by the name
// after the prefix.
std::string_view localName(const char *name);
bool is(const pugi::xml_node &node, std::string_view local);
pugi::xml_node child(const pugi::xml_node &node, std::string_view local);
pugi::xml_attribute attribute(const pugi::xml_node &node, std::string_view local);
std::string_view value(const pugi::xml_node &node, std::string_view localAttribute); // "" when missing

template <typename F> void forChildren(const pugi::xml_node &node, std::string_view local, F &&f)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, local))
            f(c);
}

// Parses a part; throws KalvorError naming the workbook and the part when it is not XML.
void parse(pugi::xml_document &doc, const QByteArray &bytes, const QString &displayName, const QString &partName);
std::string serialize(const pugi::xml_document &doc);
QByteArray serializeBytes(const pugi::xml_document &doc);

// Whole numbers and decimals of attributes; `fallback` when missing or not a number.
long long toInteger(std::string_view text, long long fallback);
double toDouble(std::string_view text, double fallback);

} // namespace kalvor::sheets::xml
