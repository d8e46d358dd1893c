#include "sheets/XlsxSheetWriter.h"

#include "sheets/XlsxStyles.h"
#include "sheets/XmlParts.h"
#include "store/KalvorError.h"

#include <QDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace kalvor::sheets {

namespace {

// Placeholders for what is streamed into the template's worksheet.
constexpr std::string_view kRowsMark = "@@kalvor-rows@@";
constexpr std::string_view kMergesMark = "@@kalvor-merges@@";
constexpr int kRowsPerPiece = 4096;
// Fast compression: the worksheet of a big export is most of the work, and it compresses well anyway.
constexpr int kCompressionLevel = 1;
constexpr std::int64_t kSerialEpochJulianDay = 2415019;

// Elements that come before mergeCells in a worksheet, in their order.
constexpr std::array<std::string_view, 9> kBeforeMerges = {"sheetData",       "sheetCalcPr",     "protectedRanges",
                                                           "sheetProtection", "scenarios",       "autoFilter",
                                                           "sortState",       "dataConsolidate", "customSheetViews"};

void appendInt(std::string &out, long long value)
{
    char buffer[24];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

void appendDouble(std::string &out, double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

class RowWriter final {
public:
    RowWriter(const SheetLayout &sheet, XlsxStyles &styles, const SharedStringTable &shared, int columns)
        : m_sheet(sheet), m_styles(styles), m_shared(shared)
    {
        for (int c = 0; c <= columns; ++c)
            m_columnNames.push_back(columnName(c).toStdString());
    }

    void rows(std::string &out, int first, int last)
    {
        for (int r = first; r <= last; ++r)
            row(out, r);
    }

private:
    void row(std::string &out, int r)
    {
        const std::span<const SheetLayout::Cell> values = m_sheet.cells(r);
        const int source = m_sheet.formatRow(r);
        const auto &templates = m_sheet.templateRows();
        const SheetLayout::TemplateRow *t = source >= 1 && source <= static_cast<int>(templates.size())
                                                ? &templates[static_cast<std::size_t>(source - 1)]
                                                : nullptr;
        const std::vector<SheetLayout::TemplateCell> noCells;
        const std::vector<SheetLayout::TemplateCell> &styled = t ? t->cells : noCells;
        const double height = m_sheet.height(r);
        const bool hidden = m_sheet.hidden(r);
        const int rowFormat = t ? t->rowFormat : -1;
        if (values.empty() && styled.empty() && height <= 0 && !hidden && rowFormat < 0)
            return;

        m_rowNumber.clear();
        appendInt(m_rowNumber, r);
        out += "<row r=\"";
        out += m_rowNumber;
        out += '"';
        if (rowFormat >= 0) {
            out += " s=\"";
            appendInt(out, rowFormat);
            out += "\" customFormat=\"1\"";
        }
        if (height > 0) {
            out += " ht=\"";
            appendDouble(out, height);
            out += "\" customHeight=\"1\"";
        }
        if (hidden)
            out += " hidden=\"1\"";
        out += '>';

        const std::vector<SheetLayout::ColourSpan> &colours = m_sheet.fontColours(r);
        // The template's styled cells and the values, both in column order, walked together.
        std::size_t s = 0;
        std::size_t v = 0;
        while (s < styled.size() || v < values.size()) {
            const int sc = s < styled.size() ? styled[s].column : std::numeric_limits<int>::max();
            const int vc = v < values.size() ? values[v].column : std::numeric_limits<int>::max();
            const int column = std::min(sc, vc);
            const SheetLayout::Cell *value = vc == column ? &values[v] : nullptr;
            int style = sc == column ? styled[s].format : m_sheet.formatIndexAt(r, column);
            if (sc == column)
                ++s;
            if (vc == column)
                ++v;
            for (auto it = colours.rbegin(); it != colours.rend(); ++it)
                if (column >= it->firstColumn && column <= it->lastColumn) {
                    style = m_styles.withFontColour(style, it->colour);
                    break;
                }
            if (value && value->kind == SheetLayout::Kind::Date)
                style = m_styles.withDateFormat(style);
            cell(out, column, style, value);
        }
        out += "</row>";
    }

    void cell(std::string &out, int column, int style, const SheetLayout::Cell *value)
    {
        out += "<c r=\"";
        if (column < static_cast<int>(m_columnNames.size()))
            out += m_columnNames[static_cast<std::size_t>(column)];
        else
            out += columnName(column).toStdString();
        out += m_rowNumber;
        out += '"';
        if (style != 0) {
            out += " s=\"";
            appendInt(out, style);
            out += '"';
        }
        if (!value) {
            out += "/>";
            return;
        }
        switch (value->kind) {
        case SheetLayout::Kind::Text: {
            const std::string_view text = m_sheet.utf8(*value);
            if (const int index = m_shared.indexOf(text); index >= 0) {
                out += " t=\"s\"><v>";
                appendInt(out, index);
                out += "</v></c>";
                return;
            }
            const bool keepSpaces = !text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) ||
                                                      std::isspace(static_cast<unsigned char>(text.back())));
            out += keepSpaces ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
            appendCellText(out, text);
            out += "</t></is></c>";
            return;
        }
        case SheetLayout::Kind::Number: {
            const double number = value->number();
            if (!std::isfinite(number)) {
                out += "/>";
                return;
            }
            out += "><v>";
            appendDouble(out, number);
            out += "</v></c>";
            return;
        }
        case SheetLayout::Kind::Date:
            out += "><v>";
            appendInt(out, value->julianDay() - kSerialEpochJulianDay);
            out += "</v></c>";
            return;
        case SheetLayout::Kind::Empty:
            break;
        }
        out += "/>";
    }

    const SheetLayout &m_sheet;
    XlsxStyles &m_styles;
    const SharedStringTable &m_shared;
    std::vector<std::string> m_columnNames;
    std::string m_rowNumber;
};

void insertAfterLast(pugi::xml_node root, pugi::xml_node node)
{
    pugi::xml_node after;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling())
        for (const std::string_view name : kBeforeMerges)
            if (xml::is(c, name))
                after = c;
    if (after)
        root.insert_move_after(node, after);
}

} // namespace

SharedStringTable::SharedStringTable(const std::vector<std::string> &templateStrings, const SheetLayout &sheet)
    : m_templateCount(templateStrings.size())
{
    for (std::size_t i = 0; i < templateStrings.size(); ++i)
        m_index.try_emplace(templateStrings[i], static_cast<int>(i));
    for (int row = 1; row <= sheet.rowCount(); ++row)
        for (const SheetLayout::Cell &cell : sheet.cells(row)) {
            if (cell.kind != SheetLayout::Kind::Text)
                continue;
            ++m_references;
            const std::string_view text = sheet.utf8(cell);
            if (m_index.try_emplace(text, static_cast<int>(m_templateCount + m_added.size())).second)
                m_added.push_back(text);
        }
}

int SharedStringTable::indexOf(std::string_view text) const
{
    const auto found = m_index.find(text);
    return found == m_index.end() ? -1 : found->second;
}

QByteArray SharedStringTable::part(const QByteArray &templatePart, const QString &displayName,
                                   const QString &partName) const
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    std::string items;
    std::string root = "sst";
    std::string namespaces = " xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"";
    if (!templatePart.isEmpty()) {
        pugi::xml_document doc;
        xml::parse(doc, templatePart, displayName, partName);
        const pugi::xml_node sst = doc.document_element();
        root = sst.name();
        namespaces.clear();
        for (pugi::xml_attribute a = sst.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view name = xml::localName(a.name());
            if (name == "count" || name == "uniqueCount")
                continue;
            namespaces += ' ';
            namespaces += a.name();
            namespaces += "=\"";
            namespaces += a.value(); // namespace names need no escaping
            namespaces += '"';
        }
        struct Writer final : pugi::xml_writer {
            std::string &to;
            explicit Writer(std::string &t) : to(t) {}
            void write(const void *data, std::size_t size) override
            {
                to.append(static_cast<const char *>(data), size);
            }
        } writer(items);
        xml::forChildren(sst, "si", [&writer](const pugi::xml_node &si) { si.print(writer, "", pugi::format_raw); });
    }
    const std::string prefix = root.find(':') == std::string::npos ? std::string() : root.substr(0, root.find(':') + 1);
    out += '<' + root + namespaces + " count=\"" + std::to_string(m_references + m_templateCount) +
           "\" uniqueCount=\"" + std::to_string(m_templateCount + m_added.size()) + "\">";
    out += items;
    for (const std::string_view text : m_added) {
        const bool keepSpaces = !text.empty() && (std::isspace(static_cast<unsigned char>(text.front())) ||
                                                  std::isspace(static_cast<unsigned char>(text.back())));
        out += '<' + prefix + "si><" + prefix + (keepSpaces ? "t xml:space=\"preserve\">" : "t>");
        appendCellText(out, text);
        out += "</" + prefix + "t></" + prefix + "si>";
    }
    out += "</" + root + '>';
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

void appendCellText(std::string &out, std::string_view text)
{
    std::size_t plain = 0;
    const auto flush = [&](std::size_t i) {
        out.append(text.data() + plain, i - plain);
        plain = i + 1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        switch (c) {
        case '&':
            flush(i);
            out += "&amp;";
            continue;
        case '<':
            flush(i);
            out += "&lt;";
            continue;
        case '>':
            flush(i);
            out += "&gt;";
            continue;
        case '_':
            // A literal "_x0041_" would be read back as "A".
            if (i + 6 < text.size() && text[i + 1] == 'x' && isHex(text[i + 2]) && isHex(text[i + 3]) &&
                isHex(text[i + 4]) && isHex(text[i + 5]) && text[i + 6] == '_') {
                flush(i);
                out += "_x005F_";
            }
            continue;
        default:
            break;
        }
        if (c < 0x20 && c != '\t' && c != '\n') {
            flush(i);
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "_x00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            out += '_';
        }
    }
    out.append(text.data() + plain, text.size() - plain);
}

DeflatedPart writeSheetPart(const SheetLayout &sheet, const QByteArray &templatePart, const SharedStringTable &shared,
                            XlsxStyles &styles, const std::vector<int> &templateRowPositions,
                            const QString &displayName, const QString &partName)
{
    pugi::xml_document doc;
    xml::parse(doc, templatePart, displayName, partName);
    pugi::xml_node root = doc.document_element();
    pugi::xml_node sheetData = xml::child(root, "sheetData");
    if (!sheetData)
        throw KalvorError(
            QStringLiteral("Файл %1 поврежден: в листе нет данных").arg(QDir::toNativeSeparators(displayName)));
    while (sheetData.first_child())
        sheetData.remove_child(sheetData.first_child());
    sheetData.append_child(pugi::node_pcdata).set_value(std::string(kRowsMark).c_str());

    const int rows = sheet.rowCount();
    const int columns = std::max(1, sheet.columnCount());
    std::size_t mergeCount = 0;
    for (int r = 1; r <= rows; ++r)
        mergeCount += sheet.merges(r).size();
    for (pugi::xml_node m = xml::child(root, "mergeCells"); m; m = xml::child(root, "mergeCells"))
        root.remove_child(m);
    if (mergeCount > 0) {
        pugi::xml_node merges = root.append_child("mergeCells");
        merges.append_attribute("count").set_value(static_cast<unsigned long long>(mergeCount));
        merges.append_child(pugi::node_pcdata).set_value(std::string(kMergesMark).c_str());
        insertAfterLast(root, merges);
    }
    if (pugi::xml_node dimension = xml::child(root, "dimension")) {
        const QString ref = QStringLiteral("A1:%1%2").arg(columnName(columns)).arg(std::max(1, rows));
        xml::attribute(dimension, "ref").set_value(ref.toUtf8().constData());
    }
    // Manual page breaks stay under the rows they were under; breaks under deleted rows go.
    if (pugi::xml_node breaks = xml::child(root, "rowBreaks")) {
        std::vector<pugi::xml_node> gone;
        int kept = 0;
        int manual = 0;
        xml::forChildren(breaks, "brk", [&](pugi::xml_node b) {
            const long long id = xml::toInteger(xml::value(b, "id"), 0);
            const int at = id >= 1 && id < static_cast<long long>(templateRowPositions.size())
                               ? templateRowPositions[static_cast<std::size_t>(id)]
                               : static_cast<int>(id);
            if (at < 1) {
                gone.push_back(b);
                return;
            }
            xml::attribute(b, "id").set_value(at);
            ++kept;
            if (xml::value(b, "man") == "1")
                ++manual;
        });
        for (const pugi::xml_node &b : gone)
            breaks.remove_child(b);
        if (kept == 0) {
            root.remove_child(breaks);
        } else {
            if (pugi::xml_attribute count = xml::attribute(breaks, "count"))
                count.set_value(kept);
            if (pugi::xml_attribute count = xml::attribute(breaks, "manualBreakCount"))
                count.set_value(manual);
        }
    }

    const std::string skeleton = xml::serialize(doc);
    const std::size_t rowsAt = skeleton.find(kRowsMark);
    const std::size_t mergesAt = mergeCount > 0 ? skeleton.find(kMergesMark) : std::string::npos;
    if (rowsAt == std::string::npos || (mergeCount > 0 && (mergesAt == std::string::npos || mergesAt < rowsAt)))
        throw KalvorError(
            QStringLiteral("Файл %1: не удалось разобрать лист").arg(QDir::toNativeSeparators(displayName)));

    // Pieces: the head, the rows in blocks, then the rest with the merged cells.
    const int blocks = (rows + kRowsPerPiece - 1) / kRowsPerPiece;
    std::vector<DeflatedPiece> pieces(static_cast<std::size_t>(blocks) + 2);
    pieces.front() = deflatePiece(std::string_view(skeleton).substr(0, rowsAt), false, kCompressionLevel);
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureMutex;
    const auto work = [&] {
        try {
            RowWriter writer(sheet, styles, shared, columns);
            std::string xmlText;
            for (int block = next++; block < blocks; block = next++) {
                xmlText.clear();
                const int first = block * kRowsPerPiece + 1;
                writer.rows(xmlText, first, std::min(rows, first + kRowsPerPiece - 1));
                pieces[static_cast<std::size_t>(block) + 1] = deflatePiece(xmlText, false, kCompressionLevel);
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            failure = std::current_exception();
            next = blocks; // the others stop too
        }
    };
    const int threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, 4);
    std::vector<std::thread> pool;
    for (int i = 1; i < std::min(threads, blocks); ++i)
        pool.emplace_back(work);
    work();
    for (std::thread &t : pool)
        t.join();
    if (failure)
        std::rethrow_exception(failure);

    std::string tail;
    if (mergeCount > 0) {
        tail.assign(skeleton, rowsAt + kRowsMark.size(), mergesAt - rowsAt - kRowsMark.size());
        for (int r = 1; r <= rows; ++r)
            for (const SheetLayout::Merge &m : sheet.merges(r)) {
                tail += "<mergeCell ref=\"";
                tail += columnName(m.firstColumn).toStdString();
                appendInt(tail, r);
                tail += ':';
                tail += columnName(m.lastColumn).toStdString();
                appendInt(tail, r + m.rows - 1);
                tail += "\"/>";
            }
        tail.append(skeleton, mergesAt + kMergesMark.size());
    } else {
        tail.assign(skeleton, rowsAt + kRowsMark.size());
    }
    pieces.back() = deflatePiece(tail, true, kCompressionLevel);

    DeflatedPart part;
    part.name = partName;
    for (DeflatedPiece &p : pieces)
        part.append(std::move(p));
    return part;
}

} // namespace kalvor::sheets
