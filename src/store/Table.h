#pragma once

#include "store/RowView.h"
#include "store/TableData.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

namespace kalvor {

// An in-memory table over a data packet file, with a cursor, an edit state, an optional ordering and
// an optional filter. Several tables may be open on one file; whichever saves last decides the file.
// Errors are reported as KalvorError whose text names the file.
class Table final {
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Filter = std::function<bool(const RowView &row)>;
    enum class Notification { DataChanged, CursorMoved };
    using Listener = std::function<void(Notification)>;

    Table();
    explicit Table(const QString &fileName);
    ~Table(); // never writes: call close() to keep changes
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    // --- file ---------------------------------------------------------------------------------
    void setFileName(const QString &fileName);
    const QString &fileName() const { return m_fileName; }
    void open();
    // Opens on the rows of another open, unchanged table, as if this table had read the same file:
    // several views of one file then cost one parse and one copy of the rows in memory. Order, filter
    // and file name stay this table's.
    void openCopyOf(const Table &source);
    // Writes the table back first when its data changed or its file vanished; a pending edit is dropped.
    void close();
    // Closes without writing anything back, whatever changed.
    void discard();
    bool isActive() const { return m_state != State::Inactive; }
    State state() const { return m_state; }
    // Posts a pending edit, then writes the whole table with its change log. The table keeps its name.
    void saveToFile();
    void saveToFile(const QString &fileName);
    bool isModified() const { return m_modified; }
    // Builds a new empty table with these columns (no file is read).
    void createEmpty(const QList<FieldDef> &fields);

    // --- columns ------------------------------------------------------------------------------
    int fieldCount() const { return m_data->fieldCount(); }
    const FieldDef &field(int index) const { return m_data->fields.at(index); }
    const QList<FieldDef> &fields() const { return m_data->fields; }
    int fieldIndex(QStringView name) const; // without regard to case; -1 when missing
    int requireField(QStringView name) const; // throws when missing
    void setReadOnly(int field, bool readOnly);
    bool isReadOnly(int field) const;

    // --- navigation ---------------------------------------------------------------------------
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return recordCount() == 0; }
    int recordCount() const;
    int recNo() const; // 1-based; 0 when there is no current row
    void setRecNo(int recNo);

    // --- the current row ----------------------------------------------------------------------
    RowView currentRow() const;
    RowView row(int index) const; // 0-based presentation index, for grids
    bool isNull(int field) const { return currentRow().isNull(field); }
    bool isNull(QStringView name) const { return isNull(requireField(name)); }
    QString asString(int field) const { return currentRow().asString(field); }
    QString asString(QStringView name) const { return asString(requireField(name)); }
    qint64 asInteger(int field) const { return currentRow().asInteger(field); }
    qint64 asInteger(QStringView name) const { return asInteger(requireField(name)); }
    double asFloat(int field) const { return currentRow().asFloat(field); }
    double asFloat(QStringView name) const { return asFloat(requireField(name)); }
    double asCurrency(int field) const { return asFloat(field); }
    double asCurrency(QStringView name) const { return asFloat(name); }
    bool asBoolean(int field) const { return currentRow().asBoolean(field); }
    QDate asDate(int field) const { return currentRow().asDate(field); }
    QDate asDate(QStringView name) const { return asDate(requireField(name)); }
    QDateTime asDateTime(int field) const { return currentRow().asDateTime(field); }
    QDateTime asDateTime(QStringView name) const { return asDateTime(requireField(name)); }
    QVariant asVariant(int field) const { return currentRow().asVariant(field); }
    QVariant asVariant(QStringView name) const { return asVariant(requireField(name)); }

    // Writes need Edit or Insert state. Text is checked against the column's type (numbers accept a
    // decimal comma, dates dd.MM.yyyy or YYYYMMDD); a wrong value throws and changes nothing.
    // Empty text makes a non-text column NULL.
    void setString(int field, const QString &value);
    void setString(QStringView name, const QString &value) { setString(requireField(name), value); }
    void setFloat(int field, double value);
    void setFloat(QStringView name, double value) { setFloat(requireField(name), value); }
    void setInteger(int field, qint64 value);
    void setInteger(QStringView name, qint64 value) { setInteger(requireField(name), value); }
    void setBoolean(int field, bool value);
    void setDate(int field, const QDate &value);
    void setDate(QStringView name, const QDate &value) { setDate(requireField(name), value); }
    void setDateTime(int field, const QDateTime &value);
    void setVariant(int field, const QVariant &value);
    void setVariant(QStringView name, const QVariant &value) { setVariant(requireField(name), value); }
    void setNull(int field);
    void setNull(QStringView name) { setNull(requireField(name)); }
    // Stores text already in the file's form (as read from another table of the same schema) unchecked.
    void setStoredText(int field, std::string_view utf8, bool isNull = false);

    // --- editing ------------------------------------------------------------------------------
    void insert(); // a new empty row at the cursor
    void append(); // a new empty row at the end
    void edit();
    void post();
    void cancel();
    void remove(); // deletes the current row; the cursor moves to the next one

    // --- order and filter ---------------------------------------------------------------------
    // Ascending order by the named fields (';'-separated); empty returns to file order.
    void setIndexFieldNames(const QString &names);
    const QString &indexFieldNames() const { return m_indexFieldNames; }
    void setFilter(Filter filter);
    void setFiltered(bool filtered);
    bool filtered() const { return m_filtered; }
    // Re-evaluates the filter, e.g. after the row another table's filter looks at has changed.
    void refresh();

    // --- attached views -----------------------------------------------------------------------
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disabledControls > 0; }
    int addListener(Listener listener);
    void removeListener(int id);

    // Low-level access for whole-table passes (copies, dumps, benchmarks).
    const TableData &data() const { return *m_data; }
    // Record indices of the rows presented, in presentation order.
    const std::vector<std::uint32_t> &presentedRecords() const { return m_view; }

private:
    void requireActive() const;
    TableData &writable(); // the rows, made this table's own before a change
    void requireEditing(int field) const;
    void storeValue(int field, std::string_view utf8);
    void rebuildView();
    void resolveIndexFields();
    void startBrowsing(); // the common end of open, openCopyOf and createEmpty
    bool accepts(std::uint32_t record) const;
    bool lessForOrder(std::uint32_t a, std::uint32_t b) const;
    void placeInView(std::uint32_t record, std::size_t hint);
    void moveTo(std::ptrdiff_t position);
    void notify(Notification what);
    std::uint32_t currentRecord() const;

    QString m_fileName;
    // Shared with the tables opened as copies of this one until either changes (copy on write).
    std::shared_ptr<TableData> m_data = std::make_shared<TableData>();
    State m_state = State::Inactive;
    bool m_modified = false;
    std::vector<std::uint32_t> m_view;      // presented records
    std::ptrdiff_t m_position = -1;         // index into m_view
    bool m_eof = true;
    bool m_bof = true;
    std::vector<Cell> m_pending;            // the row being edited or inserted
    std::ptrdiff_t m_insertPosition = -1;   // where an inserted row goes in file order
    std::uint32_t m_editedRecord = ChangeLogEntry::kNone;
    std::vector<bool> m_readOnly;
    QString m_indexFieldNames;
    std::vector<int> m_indexFields;
    Filter m_filter;
    bool m_filtered = false;
    int m_disabledControls = 0;
    std::vector<std::pair<int, Listener>> m_listeners;
    int m_nextListenerId = 1;
};

} // namespace kalvor
