#include "sheets/calc/CalcSheetWriter.h"

#include "sheets/calc/TOOCalcImpl.h"
#include "store/KalvorError.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/document/XActionLockable.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <algorithm>
#include <limits>
#include <map>
#include <span>
#include <tuple>

namespace kalvor::sheets::calc {

namespace {

constexpr int kRowsPerRequest = 2048;
constexpr std::int64_t kSerialEpochJulianDay = 2415019; // day 0 of the office's dates, 1899-12-30

using Address = css::table::CellRangeAddress;

Address address(int firstColumn, int firstRow, int lastColumn, int lastRow) // one-based
{
    return Address(0, firstColumn - 1, firstRow - 1, lastColumn - 1, lastRow - 1);
}

// A number format as the layout knows them, from the office's description of it.
QString formatCode(const Reference<css::beans::XPropertySet> &format)
{
    bool standard = false;
    format->getPropertyValue("StandardFormat") >>= standard;
    sal_Int16 type = 0;
    format->getPropertyValue("Type") >>= type;
    if ((type & css::util::NumberFormat::DATE) != 0)
        return QStringLiteral("dd.mm.yyyy");
    if (standard)
        return QStringLiteral("General");
    sal_Int16 decimals = 0;
    format->getPropertyValue("Decimals") >>= decimals;
    return decimals > 0 ? QStringLiteral("0.") + QString(decimals, u'0') : QStringLiteral("0");
}

class Writer final {
public:
    Writer(TOOCalc &calc, const SheetLayout &sheet, const SheetLayout &templateSheet, const CalcWriteOptions &options)
        : m_calc(calc), m_impl(calc.impl()), m_sheet(sheet), m_template(templateSheet), m_options(options)
    {
        m_origin.assign(static_cast<std::size_t>(sheet.rowCount()) + 1, 0);
        const std::vector<int> at = sheet.templateRowPositions();
        for (std::size_t t = 1; t < at.size(); ++t)
            if (at[t] > 0 && at[t] <= sheet.rowCount())
                m_origin[static_cast<std::size_t>(at[t])] = static_cast<int>(t);
        m_lastColumn = std::max(1, sheet.columnCount());
    }

    void run()
    {
        // Every step, and every block of rows in the long ones, is a request of its own under the watchdog:
        // a long declaration takes minutes in all, and only an office that stops answering ends the export.
        OfficeConnection &office = m_calc.connection();
        Reference<css::frame::XModel> model;
        Reference<css::beans::XPropertySet> settings;
        office.call([&] {
            model.set(m_impl.FDocument, UNO_QUERY_THROW);
            settings.set(m_impl.FDocument, UNO_QUERY_THROW);
            // Nothing is drawn, measured or recorded for undo while the rows arrive.
            model->lockControllers();
            Reference<css::document::XActionLockable>(m_impl.FDocument, UNO_QUERY_THROW)->addActionLock();
            settings->setPropertyValue("IsAdjustHeightEnabled", Any(false));
            settings->setPropertyValue("IsUndoEnabled", Any(false));
        });
        office.call([&] { rows(); });
        office.call([&] { merges(); });
        office.call([&] { charHeights(); });
        values();
        office.call([&] {
            colours();
            settings->setPropertyValue("IsUndoEnabled", Any(true));
            settings->setPropertyValue("IsAdjustHeightEnabled", Any(true));
        });
        optimalHeights();
        office.call([&] {
            Reference<css::document::XActionLockable>(m_impl.FDocument, UNO_QUERY_THROW)->removeActionLock();
            model->unlockControllers();
        });
    }

private:
    bool added(int row) const { return m_origin[static_cast<std::size_t>(row)] == 0; }

    // Runs of rows the layout added: (first row, count).
    std::vector<std::pair<int, int>> addedRuns() const
    {
        std::vector<std::pair<int, int>> runs;
        for (int r = 1; r <= m_sheet.rowCount(); ++r) {
            if (!added(r))
                continue;
            if (!runs.empty() && runs.back().first + runs.back().second == r)
                ++runs.back().second;
            else
                runs.emplace_back(r, 1);
        }
        return runs;
    }

    Reference<css::table::XTableRows> tableRows() const
    {
        return Reference<css::table::XColumnRowRange>(m_impl.FActiveSheet, UNO_QUERY_THROW)->getRows();
    }

    void rows()
    {
        const Reference<css::table::XTableRows> rows = tableRows();
        // Template rows the layout deleted, from the bottom so that the numbers above stay.
        const std::vector<int> at = m_sheet.templateRowPositions();
        for (int t = std::min(m_template.rowCount(), static_cast<int>(at.size()) - 1); t >= 1;) {
            if (at[static_cast<std::size_t>(t)] > 0) {
                --t;
                continue;
            }
            int first = t;
            while (first > 1 && at[static_cast<std::size_t>(first - 1)] == 0)
                --first;
            rows->removeByIndex(first - 1, t - first + 1);
            t = first - 1;
        }
        // The template rows now stand in the layout's order: each run of added rows goes in above the
        // template row that follows it.
        for (const auto &[first, count] : addedRuns())
            rows->insertByIndex(first - 1, count);
    }

    // The template row whose formats the office gave to each row: its own for a template row, the one
    // above it for an added row. One walk down: searching upwards per row is quadratic in a long run.
    std::vector<int> formatSources() const
    {
        std::vector<int> source(m_origin.size(), 0);
        for (std::size_t r = 1; r < m_origin.size(); ++r)
            source[r] = m_origin[r] != 0 ? m_origin[r] : source[r - 1];
        return source;
    }

    void merges()
    {
        std::vector<CalcRowSpan> spans;
        if (m_options.merges) {
            spans = *m_options.merges;
        } else {
            for (int r = 1; r <= m_sheet.rowCount(); ++r)
                if (added(r))
                    for (const SheetLayout::Merge &m : m_sheet.merges(r))
                        if (m.rows == 1)
                            spans.push_back({r, m.firstColumn, m.lastColumn});
        }
        // Areas of one shape on rows formatted alike are pasted together from the first of them.
        const std::vector<int> source = formatSources();
        std::map<std::tuple<int, int, int>, std::vector<CalcRowSpan>> groups;
        for (const CalcRowSpan &s : spans)
            groups[{s.firstColumn, s.lastColumn, source[static_cast<std::size_t>(s.row)]}].push_back(s);
        for (const auto &[key, group] : groups)
            mergeGroup(group);
    }

    void mergeGroup(const std::vector<CalcRowSpan> &group)
    {
        const CalcRowSpan &first = group.front();
        const Reference<css::table::XCellRange> pattern =
            m_impl.range(first.firstColumn - 1, first.row - 1, first.lastColumn - 1, first.row - 1);
        Reference<css::util::XMergeable>(pattern, UNO_QUERY_THROW)->merge(true);
        if (group.size() == 1)
            return;
        const Reference<css::frame::XController> controller =
            Reference<css::frame::XModel>(m_impl.FDocument, UNO_QUERY_THROW)->getCurrentController();
        const Reference<css::view::XSelectionSupplier> selection(controller, UNO_QUERY);
        const Reference<css::datatransfer::XTransferableSupplier> transfer(controller, UNO_QUERY);
        if (!selection.is() || !transfer.is()) {
            // No view to paste through: one request per area.
            for (std::size_t i = 1; i < group.size(); ++i)
                Reference<css::util::XMergeable>(m_impl.range(group[i].firstColumn - 1, group[i].row - 1,
                                                              group[i].lastColumn - 1, group[i].row - 1),
                                                 UNO_QUERY_THROW)
                    ->merge(true);
            return;
        }
        selection->select(Any(pattern));
        const Reference<css::datatransfer::XTransferable> merged = transfer->getTransferable();
        std::vector<CalcRowSpan> rest(group.begin() + 1, group.end());
        selection->select(Any(ranges(rest)));
        transfer->insertTransferable(merged);
        selection->select(Any(m_impl.range(0, 0, 0, 0)));
    }

    Reference<css::sheet::XSheetCellRangeContainer> ranges(const std::vector<CalcRowSpan> &spans) const
    {
        std::vector<Address> addresses;
        addresses.reserve(spans.size());
        for (const CalcRowSpan &s : spans)
            addresses.push_back(address(s.firstColumn, s.row, s.lastColumn, s.row));
        return ranges(addresses);
    }

    Reference<css::sheet::XSheetCellRangeContainer> ranges(const std::vector<Address> &addresses) const
    {
        const Reference<css::sheet::XSheetCellRangeContainer> container(
            Reference<css::lang::XMultiServiceFactory>(m_impl.FDocument, UNO_QUERY_THROW)
                ->createInstance("com.sun.star.sheet.SheetCellRanges"),
            UNO_QUERY_THROW);
        container->addRangeAddresses(Sequence<Address>(addresses.data(), static_cast<sal_Int32>(addresses.size())),
                                     false);
        return container;
    }

    void charHeights()
    {
        std::map<float, std::vector<CalcRowSpan>> byHeight;
        for (const auto &[span, height] : m_options.charHeights)
            byHeight[height].push_back(span);
        for (const auto &[height, spans] : byHeight)
            Reference<css::beans::XPropertySet>(ranges(spans), UNO_QUERY_THROW)
                ->setPropertyValue("CharHeight", Any(height));
    }

    Any cellValue(int row, int column, const SheetLayout::Cell *cell) const
    {
        if (!cell)
            return Any(rtl::OUString());
        if (m_options.valuesAsText || cell->kind == SheetLayout::Kind::Text)
            return Any(toOU(cell->kind == SheetLayout::Kind::Text ? m_sheet.text(*cell)
                                                                 : m_sheet.displayText(row, column)));
        if (cell->kind == SheetLayout::Kind::Date)
            return Any(static_cast<double>(cell->julianDay() - kSerialEpochJulianDay));
        return Any(cell->number());
    }

    void values()
    {
        // The added rows whole, a block of rows per request.
        for (const auto &[first, count] : addedRuns())
            for (int from = first; from < first + count; from += kRowsPerRequest) {
                const int to = std::min(first + count - 1, from + kRowsPerRequest - 1);
                Sequence<Sequence<Any>> data(to - from + 1);
                for (int r = from; r <= to; ++r) {
                    Sequence<Any> line(m_lastColumn);
                    Any *out = line.getArray();
                    for (int c = 0; c < m_lastColumn; ++c)
                        out[c] = Any(rtl::OUString());
                    for (const SheetLayout::Cell &cell : m_sheet.cells(r))
                        if (cell.column <= m_lastColumn)
                            out[cell.column - 1] = cellValue(r, cell.column, &cell);
                    data.getArray()[r - from] = line;
                }
                m_calc.connection().call([&] {
                    Reference<css::sheet::XCellRangeData>(m_impl.range(0, from - 1, m_lastColumn - 1, to - 1),
                                                          UNO_QUERY_THROW)
                        ->setDataArray(data);
                });
            }
        // Template rows: only what the layout changed.
        m_calc.connection().call([&] { templateRowValues(); });
    }

    void templateRowValues()
    {
        for (int r = 1; r <= m_sheet.rowCount(); ++r) {
            const int t = m_origin[static_cast<std::size_t>(r)];
            if (t == 0)
                continue;
            const std::span<const SheetLayout::Cell> now = m_sheet.cells(r);
            const std::span<const SheetLayout::Cell> was = m_template.cells(t);
            std::size_t i = 0, j = 0;
            while (i < now.size() || j < was.size()) {
                const int cn = i < now.size() ? now[i].column : std::numeric_limits<int>::max();
                const int cw = j < was.size() ? was[j].column : std::numeric_limits<int>::max();
                const int column = std::min(cn, cw);
                const SheetLayout::Cell *cell = cn == column ? &now[i] : nullptr;
                if (!cell || cw != column || m_sheet.value(r, column) != m_template.value(t, column))
                    writeCell(r, column, cell);
                if (cn == column)
                    ++i;
                if (cw == column)
                    ++j;
            }
        }
    }

    void writeCell(int row, int column, const SheetLayout::Cell *cell)
    {
        const Reference<css::table::XCell> target = m_impl.FActiveSheet->getCellByPosition(column - 1, row - 1);
        const Any value = cellValue(row, column, cell);
        if (double number = 0; value >>= number)
            target->setValue(number);
        else
            Reference<css::text::XTextRange>(target, UNO_QUERY_THROW)->setString(value.get<rtl::OUString>());
    }

    void colours()
    {
        // Per colour the cells it goes to, rows of equal spans joined into one range.
        std::map<Rgb, std::vector<Address>> byColour;
        for (int r = 1; r <= m_sheet.rowCount(); ++r) {
            for (const SheetLayout::ColourSpan &span : m_sheet.fontColours(r)) {
                int first = span.firstColumn;
                int last = span.lastColumn;
                if (m_options.colourFirstColumn > 0 && m_options.colourLastColumn > 0) {
                    first = std::max(first, m_options.colourFirstColumn);
                    last = std::min(last, m_options.colourLastColumn);
                    if (first > last)
                        continue;
                }
                std::vector<Address> &list = byColour[span.colour];
                if (!list.empty() && list.back().StartColumn == first - 1 && list.back().EndColumn == last - 1 &&
                    list.back().EndRow == r - 2)
                    list.back().EndRow = r - 1;
                else
                    list.push_back(address(first, r, last, r));
            }
        }
        for (const auto &[colour, list] : byColour)
            Reference<css::beans::XPropertySet>(ranges(list), UNO_QUERY_THROW)
                ->setPropertyValue("CharColor", Any(static_cast<sal_Int32>(colour)));
    }

    // The added rows take the height their texts need, a block of rows per request.
    void optimalHeights()
    {
        for (const auto &[first, count] : addedRuns())
            for (int from = first; from < first + count; from += kRowsPerRequest) {
                const int to = std::min(first + count - 1, from + kRowsPerRequest - 1);
                m_calc.connection().call([&] {
                    const Reference<css::table::XColumnRowRange> rowsOf(m_impl.range(0, from - 1, 0, to - 1),
                                                                        UNO_QUERY_THROW);
                    Reference<css::beans::XPropertySet>(rowsOf->getRows(), UNO_QUERY_THROW)
                        ->setPropertyValue("OptimalHeight", Any(true));
                });
            }
    }

    TOOCalc &m_calc;
    TOOCalc::Impl &m_impl;
    const SheetLayout &m_sheet;
    const SheetLayout &m_template;
    const CalcWriteOptions &m_options;
    std::vector<int> m_origin; // the template row each row is, 0 for rows the layout added
    int m_lastColumn = 1;
};

} // namespace

SheetLayout readSheetLayout(TOOCalc &calc)
{
    TOOCalc::Impl &impl = calc.impl();
    if (!impl.FActiveSheet.is())
        throw KalvorError(QStringLiteral("В документе LibreOffice нет листа"));
    SheetLayout sheet;
    calc.connection().call([&] {
        const Reference<css::sheet::XSheetCellCursor> cursor = impl.FActiveSheet->createCursor();
        Reference<css::sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
        const Address end = Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
        const int rows = end.EndRow + 1;
        const int columns = end.EndColumn + 1;
        const Reference<css::table::XCellRange> used = impl.range(0, 0, columns - 1, rows - 1);

        // Number formats: the cells of each distinct format, and what that format shows.
        std::vector<SheetLayout::TemplateRow> templateRows(static_cast<std::size_t>(rows));
        std::vector<CellFormat> formats;
        const Reference<css::util::XNumberFormats> numberFormats =
            Reference<css::util::XNumberFormatsSupplier>(impl.FDocument, UNO_QUERY_THROW)->getNumberFormats();
        std::map<sal_Int32, int> formatOfKey;
        const Reference<css::container::XIndexAccess> unique(
            Reference<css::sheet::XUniqueCellFormatRangesSupplier>(used, UNO_QUERY_THROW)->getUniqueCellFormatRanges(),
            UNO_QUERY_THROW);
        for (sal_Int32 i = 0, n = unique->getCount(); i < n; ++i) {
            const Reference<css::sheet::XSheetCellRanges> cells(unique->getByIndex(i), UNO_QUERY_THROW);
            sal_Int32 key = 0;
            Reference<css::beans::XPropertySet>(cells, UNO_QUERY_THROW)->getPropertyValue("NumberFormat") >>= key;
            auto found = formatOfKey.find(key);
            if (found == formatOfKey.end()) {
                CellFormat format;
                format.numberFormat = formatCode(numberFormats->getByKey(key));
                formats.push_back(format);
                found = formatOfKey.emplace(key, static_cast<int>(formats.size()) - 1).first;
            }
            for (const Address &a : cells->getRangeAddresses())
                for (int r = a.StartRow; r <= a.EndRow && r < rows; ++r)
                    for (int c = a.StartColumn; c <= a.EndColumn && c < columns; ++c)
                        templateRows[static_cast<std::size_t>(r)].cells.push_back(
                            {static_cast<std::uint16_t>(c + 1), found->second});
        }
        for (SheetLayout::TemplateRow &row : templateRows)
            std::sort(row.cells.begin(), row.cells.end(),
                      [](const SheetLayout::TemplateCell &a, const SheetLayout::TemplateCell &b) {
                          return a.column < b.column;
                      });
        sheet.startFromTemplate(std::move(templateRows), std::move(formats));

        const Sequence<Sequence<Any>> data = Reference<css::sheet::XCellRangeData>(used, UNO_QUERY_THROW)->getDataArray();
        for (sal_Int32 r = 0; r < data.getLength(); ++r)
            for (sal_Int32 c = 0; c < data[r].getLength(); ++c) {
                const Any &value = data[r][c];
                if (double number = 0; value >>= number)
                    sheet.setNumber(r + 1, c + 1, number);
                else if (rtl::OUString text; (value >>= text) && !text.isEmpty())
                    sheet.setText(r + 1, c + 1, toQ(text));
            }
    });
    return sheet;
}

void writeSheetLayout(TOOCalc &calc, const SheetLayout &sheet, const SheetLayout &templateSheet,
                      const CalcWriteOptions &options)
{
    if (!calc.impl().FDocument.is() || !calc.impl().FActiveSheet.is())
        return;
    Writer(calc, sheet, templateSheet, options).run();
}

} // namespace kalvor::sheets::calc
