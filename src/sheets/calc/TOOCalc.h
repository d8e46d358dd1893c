#pragma once

#include "sheets/calc/OfficeOptions.h"
#include "sheets/calc/TOOMergedCells.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kalvor::sheets::calc {

class OfficeConnection;

// A rectangular array of values with its own index bounds per dimension, as the automation world passes
// them (a range read from a sheet is [0..h-1, 0..w-1]; a caller may build one from any lower bounds).
class TOOVarArray final {
public:
    struct Bounds {
        int low = 0;
        int high = -1;
        int count() const { return high - low + 1; }
    };
    explicit TOOVarArray(std::vector<Bounds> bounds);
    TOOVarArray(int rows, int columns) : TOOVarArray({{0, rows - 1}, {0, columns - 1}}) {}

    int dimensions() const { return static_cast<int>(m_bounds.size()); }
    const Bounds &bounds(int dimension) const { return m_bounds[static_cast<std::size_t>(dimension)]; }
    // Elements of a two-dimensional array by their own indices.
    QVariant &at(int i, int j);
    const QVariant &at(int i, int j) const;

private:
    std::vector<Bounds> m_bounds;
    std::vector<QVariant> m_items;
};

// What "Открыть в Calc" shows: the visible columns of a grid and the rows' texts in those columns.
struct GridSnapshot {
    struct Column {
        QString title;
        int widthPixels = 0;
    };
    std::vector<Column> columns;
    std::vector<QStringList> rows; // one text per visible column
};

// The program's own wrapper around the office's spreadsheet: one document, one active sheet, rows and
// columns counted from 1. It lives on one thread; every request runs under the connection's watchdog,
// and the office's failures arrive as KalvorError with a message for the user.
//
// Operations that need a document or a sheet do nothing (or give an empty result) without one.
class TOOCalc final {
public:
    // Connects to (or starts) the office; then Load(AFileName) when a name is given, else New().
    explicit TOOCalc(const QString &AFileName = {}, const OfficeOptions &options = {});
    // The same on a connection already open.
    TOOCalc(std::shared_ptr<OfficeConnection> connection, const QString &AFileName);
    // Lets go of the document, which stays open in the office.
    ~TOOCalc();

    TOOCalc(const TOOCalc &) = delete;
    TOOCalc &operator=(const TOOCalc &) = delete;

    // The URL the office opens for a file name: the office's own conversion of the absolute path; a name
    // that already is a file URL (in any letter case) is taken as it stands.
    static QString FileUrl(const QString &AFileName);

    void New();
    // Opens the file: a name ending in ".xls" (exactly so) as a template, giving a new untitled document.
    void Load(const QString &AFileName);
    bool ActivateSheet(int AIndex);
    // Lets go of the document; with ACloseApp the document is closed in the office as well.
    void FreeDocument(bool ACloseApp);
    bool hasDocument() const;
    // Where the document is stored; empty for an untitled one (a document made from a template).
    QString DocumentUrl();
    bool Modified();

    void InsertRow(int ARow, bool ATryToMerge = true);
    void CopyRow(const QString &AName, int ARow);
    void CopyRowInt(const QString &AName, int ARow, int BRow);
    void RemoveRow(int ARow);
    // The text colour of the last column (AG) of the range named AName.
    void SetFontColor(const QString &AName, int Color);

    void SetCellText(int ARow, int ACol, const QVariant &AValue);
    QVariant GetCellFormula(int ARow, int ACol);
    void SetCellBold(int ARow, int ACol);
    void SetColumnWidth(int ACol, int AValue); // hundredths of a millimetre

    TOORange ParseRange(const QString &AName, bool ALoadMergedCells = false);
    void LoadMergedCells();
    void LoadMergedCells(const QString &AName);
    const TOOMergedCells *MergedCells() const { return FMergedCells.get(); }

    std::optional<TOOVarArray> GetRange(int ARow, int ACol, int AHeight, int AWidth);
    std::optional<TOOVarArray> GetRange(const QString &AName);
    // Writes every element as text; AValue must have two dimensions.
    void SetRange(int ARow, int ACol, const TOOVarArray &AValue);
    void SetRange(const QString &AName, const TOOVarArray &AValue);

    void MarkAsSaved();
    void Save();
    void SaveAsExcel97(const QString &AFileName);
    // Stores a copy under the office's filter for the name: "MS Excel 97" for .xls, Office Open XML for
    // .xlsx, else ODF ("calc8").
    void SaveCopyAs(const QString &AFileName);
    // Whether SaveCopyAs stores this name in the MS Excel 97 format (at most 65,536 rows of a sheet).
    static bool storesAsExcel97(const QString &AFileName);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    QString GetSupportedFileTypes();
    void OODispatch(const QString &ACommand, const std::vector<std::pair<QString, QVariant>> &AParams = {});

    // A grid's visible columns and rows in a new document, shown to the user and left unmodified.
    static void GridToExcel(const GridSnapshot &AGrid, const OfficeOptions &options = {});

    OfficeConnection &connection() const { return *m_connection; }
    struct Impl; // the document and sheet, for the writers of this library
    Impl &impl() const { return *m_impl; }

private:
    void init(const QString &AFileName);

    std::shared_ptr<OfficeConnection> m_connection;
    std::unique_ptr<Impl> m_impl;
    bool FVisible = false;
    std::unique_ptr<TOOMergedCells> FMergedCells;
};

} // namespace kalvor::sheets::calc
