#include "sheets/calc/TOOCalc.h"

#include "sheets/SheetLayout.h"
#include "sheets/calc/TOOCalcImpl.h"
#include "store/KalvorError.h"

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangeFormula.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRange.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <osl/file.hxx>

#include <QDir>
#include <QFileInfo>

namespace kalvor::sheets::calc {

namespace {

constexpr int kColumnB = 1, kColumnE = 4; // zero-based
constexpr int kLastColumn = 32;           // AG, zero-based: the column a row's colour goes to

Any toAny(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return Any();
    case QMetaType::Bool:
        return Any(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return Any(value.toDouble());
    default:
        return Any(toOU(value.toString()));
    }
}

// A value as the text a cell receives: numbers with the decimal comma the program shows.
QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatNumber(value.toDouble(), QStringLiteral("General"));
    default:
        return value.toString();
    }
}

Reference<css::table::XCellRange> rangeByName(const css::uno::Reference<css::sheet::XSpreadsheet> &sheet,
                                              const QString &name)
{
    return sheet->getCellRangeByName(toOU(name));
}

TOORange toRange(const css::table::CellRangeAddress &a)
{
    // Counts as the address gives them: end - (start + 1) + 2 cells.
    TOORange r;
    r.ColFrom = a.StartColumn + 1;
    r.RowFrom = a.StartRow + 1;
    r.ColCount = a.EndColumn - r.ColFrom + 2;
    r.RowCount = a.EndRow - r.RowFrom + 2;
    return r;
}

void merge(const TOOCalc::Impl &impl, int row0)
{
    Reference<css::util::XMergeable>(impl.range(kColumnB, row0, kColumnE, row0), UNO_QUERY_THROW)->merge(true);
}

void charHeight(const TOOCalc::Impl &impl, int row0, float height)
{
    Reference<css::beans::XPropertySet>(impl.range(kColumnB, row0, kColumnE, row0), UNO_QUERY_THROW)
        ->setPropertyValue("CharHeight", Any(height));
}

} // namespace

Sequence<css::beans::PropertyValue> properties(std::initializer_list<std::pair<const char *, Any>> values)
{
    Sequence<css::beans::PropertyValue> list(static_cast<sal_Int32>(values.size()));
    css::beans::PropertyValue *p = list.getArray();
    for (const auto &[name, value] : values) {
        p->Name = rtl::OUString::createFromAscii(name);
        p->Value = value;
        ++p;
    }
    return list;
}

// --- TOOVarArray ---------------------------------------------------------------------------------------

TOOVarArray::TOOVarArray(std::vector<Bounds> bounds) : m_bounds(std::move(bounds))
{
    std::size_t size = m_bounds.empty() ? 0 : 1;
    for (const Bounds &b : m_bounds)
        size *= static_cast<std::size_t>(std::max(0, b.count()));
    m_items.resize(size);
}

QVariant &TOOVarArray::at(int i, int j)
{
    return m_items[static_cast<std::size_t>((i - m_bounds[0].low) * m_bounds[1].count() + (j - m_bounds[1].low))];
}

const QVariant &TOOVarArray::at(int i, int j) const
{
    return const_cast<TOOVarArray *>(this)->at(i, j);
}

// --- TOOCalc ---------------------------------------------------------------------------------------------

TOOCalc::TOOCalc(const QString &AFileName, const OfficeOptions &options)
    : m_connection(OfficeConnection::open(options)), m_impl(std::make_unique<Impl>())
{
    init(AFileName);
}

TOOCalc::TOOCalc(std::shared_ptr<OfficeConnection> connection, const QString &AFileName)
    : m_connection(std::move(connection)), m_impl(std::make_unique<Impl>())
{
    init(AFileName);
}

void TOOCalc::init(const QString &AFileName)
{
    m_impl->FObj = m_connection->call([&] { return m_connection->serviceManager(); });
    if (!m_impl->FObj.is())
        throw KalvorError(cannotStartMessage(QStringLiteral("офис не дал своего менеджера служб")));
    if (AFileName.isEmpty())
        New();
    else
        Load(AFileName);
}

TOOCalc::~TOOCalc()
{
    FMergedCells.reset();
    try {
        FreeDocument(false);
        m_impl->FObj.clear();
        m_impl->FDesktop.clear();
    } catch (...) {
        // Letting go of a remote reference cannot be helped if the office is gone.
    }
}

QString TOOCalc::FileUrl(const QString &AFileName)
{
    if (AFileName.left(8).toLower() == u"file:///")
        return AFileName;
    rtl::OUString url;
    const QString path = QFileInfo(AFileName).absoluteFilePath();
    if (osl::FileBase::getFileURLFromSystemPath(toOU(path), url) != osl::FileBase::E_None)
        throw KalvorError(QStringLiteral("Имя файла %1 нельзя передать офису").arg(QDir::toNativeSeparators(AFileName)));
    return toQ(url);
}

bool TOOCalc::hasDocument() const
{
    return m_impl->FDocument.is();
}

QString TOOCalc::DocumentUrl()
{
    if (!m_impl->FDocument.is())
        return {};
    return m_connection->call([&] { return toQ(Reference<css::frame::XModel>(m_impl->FDocument, UNO_QUERY_THROW)->getURL()); });
}

bool TOOCalc::Modified()
{
    if (!m_impl->FDocument.is())
        return false;
    return m_connection->call(
        [&] { return static_cast<bool>(Reference<css::util::XModifiable>(m_impl->FDocument, UNO_QUERY_THROW)->isModified()); });
}

void TOOCalc::New()
{
    FreeDocument(true);
    m_connection->call([&] {
        m_impl->FDesktop = css::frame::Desktop::create(m_connection->context());
        const Reference<css::lang::XComponent> document = m_impl->FDesktop->loadComponentFromURL(
            "private:factory/scalc", "_blank", 0, properties({{"Hidden", Any(!FVisible)}}));
        m_impl->FDocument.set(document, UNO_QUERY_THROW);
    });
    ActivateSheet(1);
}

void TOOCalc::Load(const QString &AFileName)
{
    FreeDocument(true);
    const bool asTemplate = AFileName.endsWith(QStringLiteral(".xls"));
    const QString url = FileUrl(AFileName);
    m_connection->call([&] {
        m_impl->FDesktop = css::frame::Desktop::create(m_connection->context());
        const Reference<css::lang::XComponent> document = m_impl->FDesktop->loadComponentFromURL(
            toOU(url), "_blank", 0, properties({{"AsTemplate", Any(asTemplate)}, {"Hidden", Any(!FVisible)}}));
        m_impl->FDocument.set(document, UNO_QUERY);
        if (!m_impl->FDocument.is()) {
            // Something the office opened, but no spreadsheet: it is not ours to keep.
            if (document.is())
                document->dispose();
            throw KalvorError(QStringLiteral("Файл %1 не открывается в LibreOffice Calc как таблица")
                                  .arg(QDir::toNativeSeparators(AFileName)));
        }
    });
    ActivateSheet(1);
}

bool TOOCalc::ActivateSheet(int AIndex)
{
    m_impl->FActiveSheet.clear();
    if (!m_impl->FDocument.is())
        return false;
    m_connection->call([&] {
        const Reference<css::container::XIndexAccess> sheets(m_impl->FDocument->getSheets(), UNO_QUERY_THROW);
        m_impl->FActiveSheet.set(sheets->getByIndex(AIndex - 1), UNO_QUERY_THROW);
    });
    return true;
}

void TOOCalc::FreeDocument(bool ACloseApp)
{
    if (!m_impl->FDocument.is())
        return;
    if (ACloseApp)
        m_connection->call([&] {
            const Reference<css::util::XCloseable> closeable(m_impl->FDocument, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                Reference<css::lang::XComponent>(m_impl->FDocument, UNO_QUERY_THROW)->dispose();
        });
    m_impl->FActiveSheet.clear();
    m_impl->FDocument.clear();
}

void TOOCalc::InsertRow(int ARow, bool ATryToMerge)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::table::XColumnRowRange>(m_impl->FActiveSheet, UNO_QUERY_THROW)
            ->getRows()
            ->insertByIndex(ARow - 1, 1);
        if (!ATryToMerge || !FMergedCells)
            return;
        for (int i = 0; i < FMergedCells->Count(); ++i) {
            const TOORange r = FMergedCells->Item(i);
            if (r.RowFrom + 1 == ARow && r.RowCount == 1)
                Reference<css::util::XMergeable>(
                    m_impl->range(r.ColFrom - 1, ARow - 1, r.ColFrom + r.ColCount - 2, ARow - 1), UNO_QUERY_THROW)
                    ->merge(true);
        }
    });
}

void TOOCalc::CopyRow(const QString &, int ARow)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::table::XColumnRowRange>(m_impl->FActiveSheet, UNO_QUERY_THROW)
            ->getRows()
            ->insertByIndex(ARow, 1);
        merge(*m_impl, ARow - 1);
        merge(*m_impl, ARow);
        charHeight(*m_impl, ARow - 1, 8);
        charHeight(*m_impl, ARow, 7);
        const auto cell = [&](int row1) { return m_impl->FActiveSheet->getCellByPosition(kColumnB, row1 - 1); };
        const auto setText = [](const Reference<css::table::XCell> &to, const rtl::OUString &text) {
            Reference<css::text::XTextRange>(to, UNO_QUERY_THROW)->setString(text);
        };
        setText(cell(ARow), cell(ARow + 4)->getFormula());
        setText(cell(ARow + 1), cell(ARow + 5)->getFormula());
    });
}

void TOOCalc::CopyRowInt(const QString &, int ARow, int)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::table::XColumnRowRange>(m_impl->FActiveSheet, UNO_QUERY_THROW)
            ->getRows()
            ->insertByIndex(ARow - 1, 1);
        merge(*m_impl, ARow - 2);
        merge(*m_impl, ARow - 1);
        charHeight(*m_impl, ARow - 1, 7);
    });
}

void TOOCalc::RemoveRow(int ARow)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::table::XColumnRowRange>(m_impl->FActiveSheet, UNO_QUERY_THROW)
            ->getRows()
            ->removeByIndex(ARow - 1, 1);
    });
}

void TOOCalc::SetFontColor(const QString &AName, int Color)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    // The colour arrives as 0xBBGGRR; the office takes 0xRRGGBB.
    const sal_Int32 rgb = ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
    m_connection->call([&] {
        const Reference<css::beans::XPropertySet> cell(
            rangeByName(m_impl->FActiveSheet, AName)->getCellByPosition(kLastColumn, 0), UNO_QUERY_THROW);
        cell->setPropertyValue("CharColor", Any(rgb));
    });
}

void TOOCalc::SetCellText(int ARow, int ACol, const QVariant &AValue)
{
    if (!m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::text::XTextRange>(m_impl->FActiveSheet->getCellByPosition(ACol - 1, ARow - 1), UNO_QUERY_THROW)
            ->setString(toOU(textOf(AValue)));
    });
}

QVariant TOOCalc::GetCellFormula(int ARow, int ACol)
{
    if (!m_impl->FActiveSheet.is())
        return {};
    return m_connection->call(
        [&] { return QVariant(toQ(m_impl->FActiveSheet->getCellByPosition(ACol - 1, ARow - 1)->getFormula())); });
}

void TOOCalc::SetCellBold(int ARow, int ACol)
{
    if (!m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        Reference<css::beans::XPropertySet>(m_impl->FActiveSheet->getCellByPosition(ACol - 1, ARow - 1),
                                            UNO_QUERY_THROW)
            ->setPropertyValue("CharWeight", Any(150.0f));
    });
}

void TOOCalc::SetColumnWidth(int ACol, int AValue)
{
    if (!m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] {
        const Reference<css::container::XIndexAccess> columns(
            Reference<css::table::XColumnRowRange>(m_impl->FActiveSheet, UNO_QUERY_THROW)->getColumns(),
            UNO_QUERY_THROW);
        Reference<css::beans::XPropertySet>(columns->getByIndex(ACol - 1), UNO_QUERY_THROW)
            ->setPropertyValue("Width", Any(static_cast<sal_Int32>(AValue)));
    });
}

TOORange TOOCalc::ParseRange(const QString &AName, bool ALoadMergedCells)
{
    if (!m_impl->FActiveSheet.is())
        return {};
    const TOORange range = m_connection->call([&] {
        return toRange(
            Reference<css::sheet::XCellRangeAddressable>(rangeByName(m_impl->FActiveSheet, AName), UNO_QUERY_THROW)
                ->getRangeAddress());
    });
    if (ALoadMergedCells)
        LoadMergedCells();
    return range;
}

void TOOCalc::LoadMergedCells()
{
    if (!m_impl->FActiveSheet.is())
        return;
    FMergedCells = std::make_unique<TOOMergedCells>();
    for (int n = 1;; ++n) {
        try {
            FMergedCells->Add(ParseRange(QStringLiteral("merged%1").arg(n)));
        } catch (const KalvorError &) {
            break; // the first name the sheet does not know ends the list
        }
    }
}

void TOOCalc::LoadMergedCells(const QString &AName)
{
    if (!m_impl->FActiveSheet.is())
        return;
    FMergedCells = std::make_unique<TOOMergedCells>();
    const TOORange area = ParseRange(AName);
    m_connection->call([&] {
        const Reference<css::sheet::XSpreadsheet> &sheet = m_impl->FActiveSheet;
        // Each merged area once, found from its top-left cell.
        for (int row = area.RowFrom; row < area.RowFrom + area.RowCount; ++row)
            for (int col = area.ColFrom; col < area.ColFrom + area.ColCount; ++col) {
                const Reference<css::table::XCellRange> cell = m_impl->range(col - 1, row - 1, col - 1, row - 1);
                if (!Reference<css::util::XMergeable>(cell, UNO_QUERY_THROW)->getIsMerged())
                    continue;
                const Reference<css::sheet::XSheetCellCursor> cursor =
                    sheet->createCursorByRange(Reference<css::sheet::XSheetCellRange>(cell, UNO_QUERY_THROW));
                cursor->collapseToMergedArea();
                const css::table::CellRangeAddress a =
                    Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
                if (a.StartColumn != col - 1 || a.StartRow != row - 1 || (a.EndColumn == a.StartColumn && a.EndRow == a.StartRow))
                    continue;
                if (a.EndColumn + 1 < area.ColFrom + area.ColCount && a.EndRow + 1 < area.RowFrom + area.RowCount)
                    FMergedCells->Add(a.StartColumn + 1, a.StartRow + 1, a.EndColumn - a.StartColumn + 1,
                                      a.EndRow - a.StartRow + 1);
            }
    });
}

std::optional<TOOVarArray> TOOCalc::GetRange(int ARow, int ACol, int AHeight, int AWidth)
{
    if (!m_impl->FActiveSheet.is() || AHeight <= 0 || AWidth <= 0)
        return std::nullopt;
    const Sequence<Sequence<rtl::OUString>> formulas = m_connection->call([&] {
        return Reference<css::sheet::XCellRangeFormula>(
                   m_impl->range(ACol - 1, ARow - 1, ACol + AWidth - 2, ARow + AHeight - 2), UNO_QUERY_THROW)
            ->getFormulaArray();
    });
    TOOVarArray result(AHeight, AWidth);
    for (int i = 0; i < AHeight && i < formulas.getLength(); ++i)
        for (int j = 0; j < AWidth && j < formulas[i].getLength(); ++j)
            result.at(i, j) = toQ(formulas[i][j]);
    return result;
}

std::optional<TOOVarArray> TOOCalc::GetRange(const QString &AName)
{
    if (!m_impl->FActiveSheet.is())
        return std::nullopt;
    const TOORange r = ParseRange(AName);
    return GetRange(r.RowFrom, r.ColFrom, r.RowCount, r.ColCount);
}

void TOOCalc::SetRange(int ARow, int ACol, const TOOVarArray &AValue)
{
    if (!m_impl->FActiveSheet.is())
        return;
    if (AValue.dimensions() != 2)
        throw KalvorError(
            QStringLiteral("TOOCalc.SetRange: параметр AValue должен быть вариантным массивом размерностью 2"));
    const TOOVarArray::Bounds rows = AValue.bounds(0);
    const TOOVarArray::Bounds columns = AValue.bounds(1);
    if (rows.count() <= 0 || columns.count() <= 0)
        return;
    // One request for the whole rectangle; each element arrives as text.
    Sequence<Sequence<Any>> data(rows.count());
    for (int i = rows.low; i <= rows.high; ++i) {
        Sequence<Any> line(columns.count());
        for (int j = columns.low; j <= columns.high; ++j)
            line.getArray()[j - columns.low] = Any(toOU(textOf(AValue.at(i, j))));
        data.getArray()[i - rows.low] = line;
    }
    m_connection->call([&] {
        Reference<css::sheet::XCellRangeData>(
            m_impl->range(ACol - 1, ARow - 1, ACol + columns.count() - 2, ARow + rows.count() - 2), UNO_QUERY_THROW)
            ->setDataArray(data);
    });
}

void TOOCalc::SetRange(const QString &AName, const TOOVarArray &AValue)
{
    if (!m_impl->FActiveSheet.is())
        return;
    const TOORange r = ParseRange(AName);
    SetRange(r.RowFrom, r.ColFrom, AValue);
}

void TOOCalc::MarkAsSaved()
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call(
        [&] { Reference<css::util::XModifiable>(m_impl->FDocument, UNO_QUERY_THROW)->setModified(false); });
}

void TOOCalc::Save()
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    m_connection->call([&] { Reference<css::frame::XStorable>(m_impl->FDocument, UNO_QUERY_THROW)->store(); });
}

void TOOCalc::SaveAsExcel97(const QString &AFileName)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    const QString url = FileUrl(AFileName);
    m_connection->call([&] {
        Reference<css::frame::XStorable>(m_impl->FDocument, UNO_QUERY_THROW)
            ->storeToURL(toOU(url), properties({{"FilterName", Any(rtl::OUString("MS Excel 97"))}}));
    });
}

bool TOOCalc::storesAsExcel97(const QString &AFileName)
{
    return AFileName.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive);
}

void TOOCalc::SaveCopyAs(const QString &AFileName)
{
    if (!m_impl->FDocument.is() || !m_impl->FActiveSheet.is())
        return;
    if (storesAsExcel97(AFileName)) {
        SaveAsExcel97(AFileName);
        return;
    }
    const QString url = FileUrl(AFileName);
    const char *filter =
        AFileName.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive) ? "Calc MS Excel 2007 XML" : "calc8";
    m_connection->call([&] {
        Reference<css::frame::XStorable>(m_impl->FDocument, UNO_QUERY_THROW)
            ->storeToURL(toOU(url), properties({{"FilterName", Any(rtl::OUString::createFromAscii(filter))}}));
    });
}

void TOOCalc::SetVisible(bool Value)
{
    if (Value != FVisible && m_impl->FDocument.is())
        m_connection->call([&] {
            const Reference<css::frame::XModel> model(m_impl->FDocument, UNO_QUERY_THROW);
            const Reference<css::awt::XWindow> window =
                model->getCurrentController()->getFrame()->getContainerWindow();
            window->setVisible(Value);
            const Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
            if (Value && top.is())
                top->toFront();
        });
    FVisible = Value;
}

QString TOOCalc::GetSupportedFileTypes()
{
    const Sequence<rtl::OUString> names = m_connection->call([&] {
        const Reference<css::container::XNameAccess> filters(
            m_impl->FObj->createInstanceWithContext("com.sun.star.document.FilterFactory", m_connection->context()),
            UNO_QUERY_THROW);
        return filters->getElementNames();
    });
    QString result;
    for (const rtl::OUString &name : names)
        result += toQ(name) + QStringLiteral("\r\n");
    return result;
}

void TOOCalc::OODispatch(const QString &ACommand, const std::vector<std::pair<QString, QVariant>> &AParams)
{
    if (!m_impl->FDocument.is())
        return;
    Sequence<css::beans::PropertyValue> params(static_cast<sal_Int32>(AParams.size()));
    for (std::size_t i = 0; i < AParams.size(); ++i) {
        params.getArray()[i].Name = toOU(AParams[i].first);
        params.getArray()[i].Value = toAny(AParams[i].second);
    }
    m_connection->call([&] {
        const Reference<css::frame::XModel> model(m_impl->FDocument, UNO_QUERY_THROW);
        const Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(),
                                                              UNO_QUERY_THROW);
        css::frame::DispatchHelper::create(m_connection->context())
            ->executeDispatch(frame, toOU(ACommand), rtl::OUString(), 0, params);
    });
}

void TOOCalc::GridToExcel(const GridSnapshot &AGrid, const OfficeOptions &options)
{
    TOOCalc calc(QString(), options);
    if (AGrid.columns.empty())
        return;
    TOOVarArray titles(1, static_cast<int>(AGrid.columns.size()));
    for (std::size_t c = 0; c < AGrid.columns.size(); ++c) {
        const GridSnapshot::Column &column = AGrid.columns[c];
        titles.at(0, static_cast<int>(c)) = column.title;
        // Width and weight go to the column the title goes to (hidden grid columns take no sheet column).
        calc.SetColumnWidth(static_cast<int>(c) + 1, column.widthPixels / 3 * 100);
        calc.SetCellBold(1, static_cast<int>(c) + 1);
    }
    calc.SetRange(1, 1, titles);
    // The records under their titles, a block of rows per request.
    constexpr int kBlock = 2048;
    const int rows = static_cast<int>(AGrid.rows.size());
    for (int first = 0; first < rows; first += kBlock) {
        const int count = std::min(kBlock, rows - first);
        TOOVarArray block(count, static_cast<int>(AGrid.columns.size()));
        for (int r = 0; r < count; ++r) {
            const QStringList &texts = AGrid.rows[static_cast<std::size_t>(first + r)];
            for (int c = 0; c < texts.size() && c < static_cast<int>(AGrid.columns.size()); ++c)
                block.at(r, c) = texts[c];
        }
        calc.SetRange(first + 2, 1, block);
    }
    calc.MarkAsSaved();
    calc.SetVisible(true);
}

} // namespace kalvor::sheets::calc
