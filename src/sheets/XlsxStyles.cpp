#include "sheets/XlsxStyles.h"

#include "sheets/XmlParts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace kalvor::sheets {

namespace {

// The number formats every workbook has without naming them.
QString builtinNumberFormat(long long id)
{
    switch (id) {
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 11:
        return QStringLiteral("0.00E+00");
    case 12:
        return QStringLiteral("# ?/?");
    case 13:
        return QStringLiteral("# ?\?/?\?");
    case 14:
        return QStringLiteral("dd.mm.yyyy");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("dd.mm.yyyy h:mm");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mm:ss.0");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("General");
    }
}

// The first colours of the legacy palette that `indexed` colours name.
constexpr std::array<Rgb, 24> kPalette = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                          0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                          0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
                                          0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080};

std::optional<Rgb> colourOf(const pugi::xml_node &color)
{
    if (!color)
        return std::nullopt;
    const std::string_view rgb = xml::value(color, "rgb");
    if (rgb.size() == 8 || rgb.size() == 6) {
        const std::string_view digits = rgb.substr(rgb.size() - 6);
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v, 16);
        if (ec == std::errc() && end == digits.data() + digits.size())
            return static_cast<Rgb>(v & 0xFFFFFFu);
    }
    const long long indexed = xml::toInteger(xml::value(color, "indexed"), -1);
    if (indexed >= 0 && indexed < static_cast<long long>(kPalette.size()))
        return kPalette[static_cast<std::size_t>(indexed)];
    if (indexed == 65)
        return 0xFFFFFF;
    return std::nullopt; // automatic or a theme colour
}

std::vector<pugi::xml_node> childrenOf(const pugi::xml_node &list, std::string_view local)
{
    std::vector<pugi::xml_node> all;
    xml::forChildren(list, local, [&all](const pugi::xml_node &n) { all.push_back(n); });
    return all;
}

void setCount(pugi::xml_node list, std::string_view local)
{
    std::size_t n = 0;
    xml::forChildren(list, local, [&n](const pugi::xml_node &) { ++n; });
    pugi::xml_attribute count = xml::attribute(list, "count");
    if (!count)
        count = list.append_attribute("count");
    count.set_value(static_cast<unsigned long long>(n));
}

void setAttribute(pugi::xml_node node, const char *name, const char *value)
{
    pugi::xml_attribute a = node.attribute(name);
    if (!a)
        a = node.append_attribute(name);
    a.set_value(value);
}

} // namespace

bool isDateFormatCode(QStringView code)
{
    bool quoted = false;
    int bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'\\') {
            ++i;
            continue;
        }
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'[')
            ++bracket;
        else if (!quoted && c == u']')
            bracket = std::max(0, bracket - 1);
        else if (!quoted && bracket == 0 && QStringView(u"dDmMyY").contains(c))
            return true;
    }
    return false;
}

struct XlsxStyles::Document {
    pugi::xml_document doc;
    pugi::xml_node numFmts, fonts, cellXfs;
    std::vector<pugi::xml_node> fontList, xfList;
    std::map<std::pair<int, Rgb>, int> colouredFonts;
    int dateFormatId = -1;
    bool changed = false;
};

XlsxStyles::XlsxStyles()
{
    m_formats.emplace_back();
    m_dateStyles.push_back(false);
}

XlsxStyles::~XlsxStyles() = default;
XlsxStyles::XlsxStyles(XlsxStyles &&) noexcept = default;
XlsxStyles &XlsxStyles::operator=(XlsxStyles &&) noexcept = default;

XlsxStyles::XlsxStyles(const QByteArray &part, const QString &displayName) : m_doc(std::make_unique<Document>())
{
    Document &d = *m_doc;
    xml::parse(d.doc, part, displayName, QStringLiteral("styles"));
    const pugi::xml_node root = d.doc.document_element();
    d.numFmts = xml::child(root, "numFmts");
    d.fonts = xml::child(root, "fonts");
    d.cellXfs = xml::child(root, "cellXfs");

    std::map<long long, QString> codes;
    xml::forChildren(d.numFmts, "numFmt", [&codes](const pugi::xml_node &f) {
        codes[xml::toInteger(xml::value(f, "numFmtId"), -1)] = QString::fromUtf8(xml::value(f, "formatCode"));
    });
    d.fontList = childrenOf(d.fonts, "font");
    const std::vector<pugi::xml_node> fills = childrenOf(xml::child(root, "fills"), "fill");
    const std::vector<pugi::xml_node> borders = childrenOf(xml::child(root, "borders"), "border");
    d.xfList = childrenOf(d.cellXfs, "xf");

    const auto at = [](const std::vector<pugi::xml_node> &list, long long i) {
        return i >= 0 && i < static_cast<long long>(list.size()) ? list[static_cast<std::size_t>(i)] : pugi::xml_node();
    };
    for (const pugi::xml_node &xf : d.xfList) {
        CellFormat f;
        const long long numFmt = xml::toInteger(xml::value(xf, "numFmtId"), 0);
        const auto code = codes.find(numFmt);
        f.numberFormat = code != codes.end() ? code->second : builtinNumberFormat(numFmt);
        if (const pugi::xml_node font = at(d.fontList, xml::toInteger(xml::value(xf, "fontId"), 0))) {
            if (const pugi::xml_node name = xml::child(font, "name"))
                f.fontName = QString::fromUtf8(xml::value(name, "val"));
            f.fontSize = xml::toDouble(xml::value(xml::child(font, "sz"), "val"), f.fontSize);
            const auto flag = [&font](std::string_view tag) {
                const pugi::xml_node n = xml::child(font, tag);
                const std::string_view v = xml::value(n, "val");
                return n && v != "0" && v != "false" && v != "none";
            };
            f.bold = flag("b");
            f.italic = flag("i");
            f.underline = flag("u");
            f.fontColour = colourOf(xml::child(font, "color")).value_or(kBlack);
        }
        if (const pugi::xml_node fill = at(fills, xml::toInteger(xml::value(xf, "fillId"), 0))) {
            const pugi::xml_node pattern = xml::child(fill, "patternFill");
            if (xml::value(pattern, "patternType") == "solid")
                f.fill = colourOf(xml::child(pattern, "fgColor")).value_or(0xD9D9D9);
        }
        if (const pugi::xml_node border = at(borders, xml::toInteger(xml::value(xf, "borderId"), 0))) {
            const auto side = [&border](std::string_view tag) {
                const std::string_view style = xml::value(xml::child(border, tag), "style");
                return !style.empty() && style != "none";
            };
            f.borders = static_cast<std::uint8_t>(
                (side("left") ? CellFormat::kLeft : 0) | (side("right") ? CellFormat::kRight : 0) |
                (side("top") ? CellFormat::kTop : 0) | (side("bottom") ? CellFormat::kBottom : 0));
        }
        if (const pugi::xml_node align = xml::child(xf, "alignment")) {
            const std::string_view h = xml::value(align, "horizontal");
            f.horizontal = h == "left"                                ? CellFormat::Horizontal::Left
                           : h == "center" || h == "centerContinuous" ? CellFormat::Horizontal::Center
                           : h == "right"                             ? CellFormat::Horizontal::Right
                                                                      : CellFormat::Horizontal::General;
            const std::string_view v = xml::value(align, "vertical");
            f.vertical = v == "center" ? CellFormat::Vertical::Center
                         : v == "top"  ? CellFormat::Vertical::Top
                                       : CellFormat::Vertical::Bottom;
            const std::string_view wrap = xml::value(align, "wrapText");
            f.wrap = wrap == "1" || wrap == "true";
            const long long rotation = xml::toInteger(xml::value(align, "textRotation"), 0);
            // 91-180 turn clockwise in the file's own scale.
            f.rotation =
                rotation > 90 && rotation <= 180 ? static_cast<int>(90 - rotation) : static_cast<int>(rotation);
        }
        m_formats.push_back(f);
        m_dateStyles.push_back(isDateFormatCode(f.numberFormat));
    }
    if (m_formats.empty()) {
        m_formats.emplace_back();
        m_dateStyles.push_back(false);
    }
}

bool XlsxStyles::isDateStyle(int style) const
{
    return style >= 0 && style < static_cast<int>(m_dateStyles.size()) && m_dateStyles[static_cast<std::size_t>(style)];
}

int XlsxStyles::withFontColour(int style, Rgb colour)
{
    return derive({style, (std::uint64_t{1} << 32) | colour}, true, colour);
}

int XlsxStyles::withDateFormat(int style)
{
    return derive({style, 0}, false, 0);
}

int XlsxStyles::derive(std::pair<int, std::uint64_t> key, bool colour, Rgb value)
{
    const std::lock_guard lock(*m_mutex);
    if (const auto found = m_derived.find(key); found != m_derived.end())
        return found->second;
    const int style = key.first;
    if (!m_doc || style < 0 || style >= static_cast<int>(m_doc->xfList.size()))
        return style;
    if (!colour && m_dateStyles[static_cast<std::size_t>(style)])
        return style;
    Document &d = *m_doc;
    pugi::xml_node xf = d.cellXfs.append_copy(d.xfList[static_cast<std::size_t>(style)]);
    CellFormat format = m_formats[static_cast<std::size_t>(style)];
    if (colour) {
        const int fontId = static_cast<int>(xml::toInteger(xml::value(xf, "fontId"), 0));
        const auto known = d.colouredFonts.find({fontId, value});
        int newFont = known != d.colouredFonts.end() ? known->second : -1;
        if (newFont < 0) {
            pugi::xml_node font = fontId >= 0 && fontId < static_cast<int>(d.fontList.size())
                                      ? d.fonts.append_copy(d.fontList[static_cast<std::size_t>(fontId)])
                                      : d.fonts.append_child("font");
            for (pugi::xml_node c = xml::child(font, "color"); c; c = xml::child(font, "color"))
                font.remove_child(c);
            char argb[9];
            std::snprintf(argb, sizeof argb, "FF%06X", value & 0xFFFFFFu);
            font.append_child("color").append_attribute("rgb").set_value(argb);
            d.fontList.push_back(font);
            setCount(d.fonts, "font");
            newFont = static_cast<int>(d.fontList.size() - 1);
            d.colouredFonts.emplace(std::pair{fontId, value}, newFont);
        }
        setAttribute(xf, "fontId", std::to_string(newFont).c_str());
        setAttribute(xf, "applyFont", "1");
        format.fontColour = value;
    } else {
        if (d.dateFormatId < 0) {
            if (!d.numFmts) {
                pugi::xml_node root = d.doc.document_element();
                d.numFmts = root.prepend_child("numFmts");
            }
            long long next = 164;
            xml::forChildren(d.numFmts, "numFmt", [&next](const pugi::xml_node &f) {
                next = std::max(next, xml::toInteger(xml::value(f, "numFmtId"), 0) + 1);
            });
            pugi::xml_node f = d.numFmts.append_child("numFmt");
            f.append_attribute("numFmtId").set_value(next);
            f.append_attribute("formatCode").set_value("dd.mm.yyyy");
            setCount(d.numFmts, "numFmt");
            d.dateFormatId = static_cast<int>(next);
        }
        setAttribute(xf, "numFmtId", std::to_string(d.dateFormatId).c_str());
        setAttribute(xf, "applyNumberFormat", "1");
        format.numberFormat = QStringLiteral("dd.mm.yyyy");
    }
    d.xfList.push_back(xf);
    setCount(d.cellXfs, "xf");
    d.changed = true;
    const int derived = static_cast<int>(m_formats.size());
    m_formats.push_back(format);
    m_dateStyles.push_back(!colour || m_dateStyles[static_cast<std::size_t>(style)]);
    m_derived.emplace(key, derived);
    return derived;
}

bool XlsxStyles::changed() const
{
    return m_doc && m_doc->changed;
}

QByteArray XlsxStyles::part() const
{
    return m_doc ? xml::serializeBytes(m_doc->doc) : QByteArray();
}

} // namespace kalvor::sheets
