#include "sheets/XlsxWorkbook.h"

#include "sheets/XlsxSheetWriter.h"
#include "sheets/XlsxStyles.h"
#include "sheets/XmlParts.h"
#include "store/KalvorError.h"

#include <QDate>
#include <QDir>

#include <algorithm>
#include <cmath>

namespace kalvor::sheets {

namespace {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

[[noreturn]] void refuse(const QString &displayName, const QString &why)
{
    throw KalvorError(
        QStringLiteral("Файл %1 не является книгой Excel (.xlsx): %2").arg(QDir::toNativeSeparators(displayName), why));
}

QString folderOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString relationshipsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return folderOf(part) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// A relationship's target as a part name: absolute targets start at the package root, others are
// relative to the folder of the part that owns the relationship.
QString resolveTarget(const QString &owner, const QString &target)
{
    QString path = target.startsWith(u'/') ? target.mid(1) : folderOf(owner) + target;
    QStringList out;
    for (const QString &piece : path.split(u'/')) {
        if (piece == u"..") {
            if (!out.isEmpty())
                out.removeLast();
        } else if (!piece.isEmpty() && piece != u".") {
            out.append(piece);
        }
    }
    return out.join(u'/');
}

struct Relationship {
    QString id;
    QString type; // the last segment of the type URI, e.g. "worksheet"
    QString target;
};

std::vector<Relationship> relationships(const XlsxPackage &package, const QString &owner)
{
    std::vector<Relationship> all;
    const QString name = owner.isEmpty() ? QStringLiteral("_rels/.rels") : relationshipsOf(owner);
    if (!package.contains(name))
        return all;
    pugi::xml_document doc;
    xml::parse(doc, package.part(name), package.displayName(), name);
    xml::forChildren(doc.document_element(), "Relationship", [&](const pugi::xml_node &r) {
        if (xml::value(r, "TargetMode") == "External")
            return;
        const QString type = QString::fromUtf8(xml::value(r, "Type"));
        all.push_back({QString::fromUtf8(xml::value(r, "Id")), type.mid(type.lastIndexOf(u'/') + 1),
                       resolveTarget(owner, QString::fromUtf8(xml::value(r, "Target")))});
    });
    return all;
}

// "B34" -> (34, 2); a missing part is 0.
std::pair<int, int> cellAddress(std::string_view ref)
{
    std::size_t i = 0;
    int column = 0;
    while (i < ref.size() && i < 4 && std::isalpha(static_cast<unsigned char>(ref[i]))) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(ref[i])) - 'A' + 1);
        ++i;
    }
    long long row = 0;
    std::size_t digits = 0;
    while (i < ref.size() && std::isdigit(static_cast<unsigned char>(ref[i])) && digits < 8) {
        row = row * 10 + (ref[i] - '0');
        ++i;
        ++digits;
    }
    if (i != ref.size())
        return {0, 0};
    return {static_cast<int>(row), column};
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Cell text keeps characters XML cannot carry as "_xHHHH_".
QString cellText(std::string_view text)
{
    QString out;
    std::size_t plain = 0;
    for (std::size_t i = 0; i + 6 < text.size(); ++i) {
        if (text[i] != '_' || text[i + 1] != 'x' || text[i + 6] != '_')
            continue;
        int code = 0;
        for (std::size_t k = i + 2; k < i + 6 && code >= 0; ++k)
            code = hexValue(text[k]) < 0 ? -1 : code * 16 + hexValue(text[k]);
        if (code < 0)
            continue;
        out += QString::fromUtf8(text.data() + plain, static_cast<qsizetype>(i - plain));
        out += QChar(static_cast<char16_t>(code));
        i += 6;
        plain = i + 1;
    }
    out += QString::fromUtf8(text.data() + plain, static_cast<qsizetype>(text.size() - plain));
    return out;
}

QString textOfItem(const pugi::xml_node &item)
{
    // A plain item holds one <t>; a rich one holds runs <r><t>; phonetic hints <rPh> are not text.
    std::string out;
    for (pugi::xml_node c = item.first_child(); c; c = c.next_sibling()) {
        if (xml::is(c, "t"))
            out += c.text().get();
        else if (xml::is(c, "r"))
            out += xml::child(c, "t").text().get();
    }
    return cellText(out);
}

// Excel counts days from 30 December 1899.
constexpr std::int64_t kSerialEpochJulianDay = 2415019;

} // namespace

XlsxWorkbook XlsxWorkbook::open(const QString &fileName)
{
    XlsxWorkbook workbook;
    workbook.m_package = XlsxPackage::read(fileName);
    workbook.readStructure();
    return workbook;
}

XlsxWorkbook XlsxWorkbook::fromBytes(QByteArrayView bytes, const QString &displayName)
{
    XlsxWorkbook workbook;
    workbook.m_package = XlsxPackage::fromBytes(bytes, displayName);
    workbook.readStructure();
    return workbook;
}

void XlsxWorkbook::readStructure()
{
    const QString &name = m_package.displayName();
    for (const Relationship &r : relationships(m_package, QString()))
        if (r.type == u"officeDocument")
            m_workbookPart = r.target;
    if (m_workbookPart.isEmpty() || !m_package.contains(m_workbookPart))
        refuse(name, QStringLiteral("нет описания книги"));

    pugi::xml_document doc;
    xml::parse(doc, m_package.part(m_workbookPart), name, m_workbookPart);
    const pugi::xml_node first = xml::child(xml::child(doc.document_element(), "sheets"), "sheet");
    if (!first)
        refuse(name, QStringLiteral("в книге нет листов"));
    m_sheetName = QString::fromUtf8(xml::value(first, "name"));
    const QString sheetId = QString::fromUtf8(xml::value(first, "id"));
    for (const Relationship &r : relationships(m_package, m_workbookPart)) {
        if (r.id == sheetId)
            m_sheetPart = r.target;
        else if (r.type == u"styles")
            m_stylesPart = r.target;
        else if (r.type == u"sharedStrings")
            m_sharedStringsPart = r.target;
    }
    if (m_sheetPart.isEmpty() || !m_package.contains(m_sheetPart))
        refuse(name, QStringLiteral("нет первого листа"));
    if (!m_stylesPart.isEmpty() && !m_package.contains(m_stylesPart))
        m_stylesPart.clear();
    if (!m_sharedStringsPart.isEmpty() && !m_package.contains(m_sharedStringsPart))
        m_sharedStringsPart.clear();
    readSharedStrings();
    readSheet();
}

void XlsxWorkbook::readSharedStrings()
{
    if (m_sharedStringsPart.isEmpty())
        return;
    pugi::xml_document doc;
    xml::parse(doc, m_package.part(m_sharedStringsPart), m_package.displayName(), m_sharedStringsPart);
    xml::forChildren(doc.document_element(), "si",
                     [this](const pugi::xml_node &si) { m_sharedStrings.push_back(textOfItem(si).toStdString()); });
}

void XlsxWorkbook::readSheet()
{
    const QString &name = m_package.displayName();
    XlsxStyles styles = m_stylesPart.isEmpty() ? XlsxStyles() : XlsxStyles(m_package.part(m_stylesPart), name);
    const int styleCount = static_cast<int>(styles.formats().size());
    const auto styleOf = [styleCount](std::string_view s) {
        const long long v = xml::toInteger(s, 0);
        return v >= 0 && v < styleCount ? static_cast<int>(v) : 0;
    };

    pugi::xml_document doc;
    xml::parse(doc, m_package.part(m_sheetPart), name, m_sheetPart);
    const pugi::xml_node root = doc.document_element();

    // First the rows' formats, so that the layout knows its template rows before values are written.
    struct CellRead {
        int row, column, style;
        pugi::xml_node node;
    };
    struct RowRead {
        int row;
        pugi::xml_node node;
    };
    std::vector<CellRead> cells;
    std::vector<RowRead> rows;
    int lastRow = 0;
    int previousRow = 0;
    xml::forChildren(xml::child(root, "sheetData"), "row", [&](const pugi::xml_node &rowNode) {
        const long long r = xml::toInteger(xml::value(rowNode, "r"), previousRow + 1);
        if (r < 1 || r > kMaxRows || r <= previousRow)
            refuse(name, QStringLiteral("строки листа не по порядку"));
        const int row = static_cast<int>(r);
        previousRow = row;
        lastRow = row;
        rows.push_back({row, rowNode});
        int previousColumn = 0;
        xml::forChildren(rowNode, "c", [&](const pugi::xml_node &c) {
            int column = previousColumn + 1;
            if (const std::string_view ref = xml::value(c, "r"); !ref.empty()) {
                const auto [refRow, refColumn] = cellAddress(ref);
                if (refRow != row || refColumn < 1)
                    refuse(name, QStringLiteral("неверный адрес ячейки %1").arg(QString::fromUtf8(ref)));
                column = refColumn;
            }
            if (column > kMaxColumns)
                refuse(name, QStringLiteral("слишком много столбцов"));
            previousColumn = column;
            cells.push_back({row, column, styleOf(xml::value(c, "s")), c});
        });
    });

    struct MergeRead {
        int row;
        SheetLayout::Merge merge;
    };
    std::vector<MergeRead> merges;
    xml::forChildren(xml::child(root, "mergeCells"), "mergeCell", [&](const pugi::xml_node &m) {
        const std::string_view ref = xml::value(m, "ref");
        const std::size_t colon = ref.find(':');
        if (colon == std::string_view::npos)
            return;
        auto [top, left] = cellAddress(ref.substr(0, colon));
        auto [bottom, right] = cellAddress(ref.substr(colon + 1));
        if (top < 1 || left < 1 || bottom < top || right < left || bottom > kMaxRows || right > kMaxColumns)
            refuse(name, QStringLiteral("неверная область объединения %1").arg(QString::fromUtf8(ref)));
        merges.push_back(
            {top, {static_cast<std::uint16_t>(left), static_cast<std::uint16_t>(right), bottom - top + 1}});
        lastRow = std::max(lastRow, bottom);
    });

    std::vector<SheetLayout::TemplateRow> templateRows(static_cast<std::size_t>(lastRow));
    for (const RowRead &r : rows) {
        const std::string_view custom = xml::value(r.node, "customFormat");
        if (custom == "1" || custom == "true")
            templateRows[static_cast<std::size_t>(r.row - 1)].rowFormat = styleOf(xml::value(r.node, "s"));
    }
    for (const CellRead &c : cells)
        templateRows[static_cast<std::size_t>(c.row - 1)].cells.push_back(
            {static_cast<std::uint16_t>(c.column), c.style});
    for (SheetLayout::TemplateRow &t : templateRows) {
        std::stable_sort(t.cells.begin(), t.cells.end(),
                         [](const auto &a, const auto &b) { return a.column < b.column; });
        // A column named twice keeps its last cell, as the values below do.
        std::vector<SheetLayout::TemplateCell> unique;
        for (const auto &c : t.cells) {
            if (!unique.empty() && unique.back().column == c.column)
                unique.back() = c;
            else
                unique.push_back(c);
        }
        t.cells = std::move(unique);
    }
    m_sheet.startFromTemplate(std::move(templateRows), styles.formats());

    for (const RowRead &r : rows) {
        const std::string_view custom = xml::value(r.node, "customHeight");
        if (custom == "1" || custom == "true")
            m_sheet.setHeight(r.row, xml::toDouble(xml::value(r.node, "ht"), 0));
        const std::string_view hidden = xml::value(r.node, "hidden");
        if (hidden == "1" || hidden == "true")
            m_sheet.setHidden(r.row, true);
    }
    for (const CellRead &c : cells) {
        const std::string_view type = xml::value(c.node, "t");
        const pugi::xml_node v = xml::child(c.node, "v");
        SheetLayout::Value value;
        if (type == "s") {
            const long long index = xml::toInteger(v.text().get(), -1);
            if (index >= 0 && index < static_cast<long long>(m_sharedStrings.size()))
                value = SheetLayout::Value::ofText(
                    QString::fromStdString(m_sharedStrings[static_cast<std::size_t>(index)]));
        } else if (type == "inlineStr") {
            value = SheetLayout::Value::ofText(textOfItem(xml::child(c.node, "is")));
        } else if (type == "str" || type == "e") {
            value = SheetLayout::Value::ofText(cellText(v.text().get()));
        } else if (type == "d") {
            value =
                SheetLayout::Value::ofDate(QDate::fromString(QString::fromUtf8(v.text().get()).left(10), Qt::ISODate));
        } else if (v) {
            const double number = xml::toDouble(v.text().get(), std::nan(""));
            if (std::isnan(number))
                value = {};
            else if (styles.isDateStyle(c.style) && number >= 1 && number < 2958466)
                value = SheetLayout::Value::ofDate(
                    QDate::fromJulianDay(kSerialEpochJulianDay + static_cast<std::int64_t>(std::floor(number))));
            else
                value = SheetLayout::Value::ofNumber(number);
        }
        m_sheet.setCell(c.row, c.column, value);
    }
    for (const MergeRead &m : merges)
        m_sheet.addMerge(m.row, m.merge);

    const pugi::xml_node format = xml::child(root, "sheetFormatPr");
    m_sheet.setDefaults(xml::toDouble(xml::value(format, "defaultRowHeight"), 0),
                        xml::toDouble(xml::value(format, "defaultColWidth"),
                                      xml::toDouble(xml::value(format, "baseColWidth"), 8) + 0.71));
    std::vector<SheetLayout::Column> columns;
    xml::forChildren(xml::child(root, "cols"), "col", [&](const pugi::xml_node &col) {
        const long long first = xml::toInteger(xml::value(col, "min"), 0);
        const long long last = xml::toInteger(xml::value(col, "max"), 0);
        if (first < 1 || last < first || first > kMaxColumns)
            return;
        // A format often runs to the last column of the sheet; only the columns in use need a place.
        const long long end = std::min<long long>(last, std::max<long long>(first, 1024));
        if (static_cast<long long>(columns.size()) < end)
            columns.resize(static_cast<std::size_t>(end));
        for (long long c = first; c <= end; ++c) {
            SheetLayout::Column &column = columns[static_cast<std::size_t>(c - 1)];
            column.width = xml::toDouble(xml::value(col, "width"), -1);
            const std::string_view hidden = xml::value(col, "hidden");
            column.hidden = hidden == "1" || hidden == "true";
            if (const pugi::xml_attribute style = xml::attribute(col, "style"))
                column.format = styleOf(style.value());
        }
    });
    m_sheet.setColumns(std::move(columns));

    SheetLayout::Page page;
    const pugi::xml_node setup = xml::child(root, "pageSetup");
    page.landscape = xml::value(setup, "orientation") == "landscape";
    const std::string_view fit = xml::value(xml::child(xml::child(root, "sheetPr"), "pageSetUpPr"), "fitToPage");
    if (fit == "1" || fit == "true") {
        page.fitToWidth = static_cast<int>(xml::toInteger(xml::value(setup, "fitToWidth"), 1));
        page.fitToHeight = static_cast<int>(xml::toInteger(xml::value(setup, "fitToHeight"), 1));
    }
    // The heading rows printed on every page: the workbook's print titles of this sheet.
    pugi::xml_document book;
    xml::parse(book, m_package.part(m_workbookPart), name, m_workbookPart);
    xml::forChildren(xml::child(book.document_element(), "definedNames"), "definedName", [&](const pugi::xml_node &n) {
        if (xml::value(n, "name") != "_xlnm.Print_Titles" || xml::toInteger(xml::value(n, "localSheetId"), -1) != 0)
            return;
        for (const QString &piece : QString::fromUtf8(n.text().get()).split(u',')) {
            const QString ref = piece.mid(piece.lastIndexOf(u'!') + 1).remove(u'$');
            const QStringList ends = ref.split(u':');
            bool firstOk = false;
            bool lastOk = false;
            const int first = ends.value(0).toInt(&firstOk);
            const int last = ends.value(1).toInt(&lastOk);
            if (ends.size() == 2 && firstOk && lastOk && first >= 1 && last >= first && last <= kMaxRows) {
                page.firstRepeatRow = first;
                page.lastRepeatRow = last;
            }
        }
    });
    m_sheet.setPage(page);
}

void XlsxWorkbook::addSharedStrings(XlsxPackage &out, const QByteArray &part) const
{
    // A template without shared strings gets a part for them, with its relationship and content type.
    const QString &name = m_package.displayName();
    QString partName = folderOf(m_workbookPart) + QStringLiteral("sharedStrings.xml");
    for (int n = 2; out.contains(partName); ++n)
        partName = folderOf(m_workbookPart) + QStringLiteral("sharedStrings%1.xml").arg(n);
    out.setPart(partName, part);

    const QString relsName = relationshipsOf(m_workbookPart);
    pugi::xml_document rels;
    xml::parse(rels, out.part(relsName), name, relsName);
    QStringList ids;
    xml::forChildren(rels.document_element(), "Relationship",
                     [&ids](const pugi::xml_node &r) { ids.append(QString::fromUtf8(xml::value(r, "Id"))); });
    QString id = QStringLiteral("rIdStrings");
    for (int n = 2; ids.contains(id); ++n)
        id = QStringLiteral("rIdStrings%1").arg(n);
    pugi::xml_node r = rels.document_element().append_child("Relationship");
    r.append_attribute("Id").set_value(id.toUtf8().constData());
    r.append_attribute("Type").set_value(
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings");
    r.append_attribute("Target").set_value(partName.mid(folderOf(m_workbookPart).size()).toUtf8().constData());
    out.setPart(relsName, xml::serializeBytes(rels));

    const QString typesName = QStringLiteral("[Content_Types].xml");
    if (out.contains(typesName)) {
        pugi::xml_document types;
        xml::parse(types, out.part(typesName), name, typesName);
        pugi::xml_node o = types.document_element().append_child("Override");
        o.append_attribute("PartName").set_value((u'/' + partName).toUtf8().constData());
        o.append_attribute("ContentType")
            .set_value("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");
        out.setPart(typesName, xml::serializeBytes(types));
    }
}

void XlsxWorkbook::save(const SheetLayout &sheet, const QString &fileName) const
{
    const QString &name = m_package.displayName();
    XlsxPackage out = m_package;
    XlsxStyles styles = m_stylesPart.isEmpty() ? XlsxStyles() : XlsxStyles(m_package.part(m_stylesPart), name);
    const std::vector<int> positions = sheet.templateRowPositions();

    const SharedStringTable strings(m_sharedStrings, sheet);
    std::vector<DeflatedPart> deflated;
    deflated.push_back(
        writeSheetPart(sheet, m_package.part(m_sheetPart), strings, styles, positions, name, m_sheetPart));
    out.removePart(m_sheetPart);
    if (!m_sharedStringsPart.isEmpty())
        out.setPart(m_sharedStringsPart, strings.part(m_package.part(m_sharedStringsPart), name, m_sharedStringsPart));
    else if (!strings.empty())
        addSharedStrings(out, strings.part({}, name, {}));
    if (styles.changed())
        out.setPart(m_stylesPart, styles.part());

    // Defined names follow the rows they name.
    pugi::xml_document book;
    xml::parse(book, m_package.part(m_workbookPart), name, m_workbookPart);
    bool bookChanged = false;
    xml::forChildren(xml::child(book.document_element(), "definedNames"), "definedName", [&](pugi::xml_node n) {
        const long long local = xml::toInteger(xml::value(n, "localSheetId"), -1);
        const QString before = QString::fromUtf8(n.text().get());
        const QString after = moveReferenceRows(before, m_sheetName, positions, local == m_sheetIndex);
        if (after != before) {
            n.text().set(after.toUtf8().constData());
            bookChanged = true;
        }
    });
    // The calculation chain lists formula cells, and the sheet written here has none.
    for (const Relationship &r : relationships(m_package, m_workbookPart)) {
        if (r.type != u"calcChain")
            continue;
        out.removePart(r.target);
        const QString relsName = relationshipsOf(m_workbookPart);
        pugi::xml_document rels;
        xml::parse(rels, out.part(relsName), name, relsName);
        std::vector<pugi::xml_node> gone;
        xml::forChildren(rels.document_element(), "Relationship", [&](const pugi::xml_node &rel) {
            if (QString::fromUtf8(xml::value(rel, "Id")) == r.id)
                gone.push_back(rel);
        });
        for (const pugi::xml_node &g : gone)
            rels.document_element().remove_child(g);
        out.setPart(relsName, xml::serializeBytes(rels));
        if (out.contains(QStringLiteral("[Content_Types].xml"))) {
            pugi::xml_document types;
            xml::parse(types, out.part(QStringLiteral("[Content_Types].xml")), name,
                       QStringLiteral("[Content_Types].xml"));
            std::vector<pugi::xml_node> overrides;
            xml::forChildren(types.document_element(), "Override", [&](const pugi::xml_node &o) {
                if (resolveTarget(QString(), QString::fromUtf8(xml::value(o, "PartName"))) == r.target)
                    overrides.push_back(o);
            });
            for (const pugi::xml_node &o : overrides)
                types.document_element().remove_child(o);
            out.setPart(QStringLiteral("[Content_Types].xml"), xml::serializeBytes(types));
        }
    }
    if (bookChanged)
        out.setPart(m_workbookPart, xml::serializeBytes(book));
    out.write(fileName, deflated);
}

// --- references in defined names -------------------------------------------------------------------

QString moveReferenceRows(const QString &formula, const QString &sheetName, const std::vector<int> &positions,
                          bool bareReferencesAreThisSheet)
{
    const auto moved = [&positions](int row) -> int {
        return row >= 1 && row < static_cast<int>(positions.size()) ? positions[static_cast<std::size_t>(row)] : row;
    };
    // Splits at commas outside quotes.
    QStringList pieces;
    QString current;
    bool quoted = false;
    for (const QChar c : formula) {
        if (c == u'\'')
            quoted = !quoted;
        if (c == u',' && !quoted) {
            pieces.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    pieces.append(current);

    QStringList out;
    for (const QString &piece : pieces) {
        const qsizetype bang = piece.lastIndexOf(u'!');
        QString sheet = bang < 0 ? QString() : piece.left(bang);
        const QString prefix = bang < 0 ? QString() : piece.left(bang + 1);
        if (sheet.startsWith(u'\'') && sheet.endsWith(u'\'') && sheet.size() >= 2)
            sheet = sheet.mid(1, sheet.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        const bool ours = bang < 0 ? bareReferencesAreThisSheet : sheet == sheetName;
        const QStringList ends = piece.mid(bang + 1).split(u':');
        // Each end: optional $ and letters, optional $ and digits.
        struct End {
            QString columnPart;
            bool absoluteRow = false;
            int row = 0;
        };
        std::vector<End> parsed;
        bool understood = ours && (ends.size() == 1 || ends.size() == 2);
        for (const QString &end : ends) {
            if (!understood)
                break;
            End e;
            qsizetype i = end.startsWith(u'$') ? 1 : 0;
            qsizetype letters = i;
            while (letters < end.size() && end[letters].isLetter() && end[letters].unicode() < 128)
                ++letters;
            i = letters > i ? letters : 0; // without letters a "$" belongs to the row
            e.columnPart = end.left(i);
            if (i < end.size() && end[i] == u'$') {
                e.absoluteRow = true;
                ++i;
            }
            bool ok = false;
            e.row = end.mid(i).toInt(&ok);
            if (!ok && !end.mid(i).isEmpty())
                understood = false;
            if (end.mid(i).isEmpty())
                e.row = 0; // a whole column
            parsed.push_back(e);
        }
        if (!understood || parsed.empty() || parsed[0].row == 0) {
            out.append(piece);
            continue;
        }
        int first = parsed.front().row;
        int last = parsed.back().row;
        // The rows of the range that still exist; the range is left alone when none does.
        int newFirst = 0;
        int newLast = 0;
        for (int r = first; r <= last && r - first < 1048576; ++r) {
            const int at = moved(r);
            if (at == 0)
                continue;
            if (newFirst == 0)
                newFirst = at;
            newLast = at;
        }
        if (newFirst == 0) {
            out.append(piece);
            continue;
        }
        const auto render = [](const End &e, int row) {
            return e.columnPart + (e.absoluteRow ? QStringLiteral("$") : QString()) + QString::number(row);
        };
        QString ref = render(parsed.front(), newFirst);
        if (parsed.size() == 2)
            ref += u':' + render(parsed.back(), newLast);
        out.append(prefix + ref);
    }
    return out.join(u',');
}

} // namespace kalvor::sheets
