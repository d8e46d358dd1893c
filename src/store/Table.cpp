#include "store/Table.h"

#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace kalvor {
namespace {

bool isAscii(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

int compareText(std::string_view a, std::string_view b)
{
    if (isAscii(a) && isAscii(b)) {
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            char ca = a[i], cb = b[i];
            if (ca >= 'A' && ca <= 'Z')
                ca = static_cast<char>(ca - 'A' + 'a');
            if (cb >= 'A' && cb <= 'Z')
                cb = static_cast<char>(cb - 'A' + 'a');
            if (ca != cb)
                return ca < cb ? -1 : 1;
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
    const QString qa = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
    const QString qb = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    return qa.compare(qb, Qt::CaseInsensitive);
}

int compareValues(const FieldDef &field, std::string_view a, bool aNull, std::string_view b, bool bNull)
{
    if (aNull || bNull)
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    switch (field.kind) {
    case FieldKind::Integer:
    case FieldKind::Fixed:
    case FieldKind::Float: {
        const double x = valuetext::parseDecimal(a).value_or(0.0);
        const double y = valuetext::parseDecimal(b).value_or(0.0);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    case FieldKind::Date:
    case FieldKind::DateTime:
    case FieldKind::Boolean:
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    case FieldKind::String:
    case FieldKind::Other:
        break;
    }
    return compareText(a, b);
}

bool samePath(const QString &a, const QString &b)
{
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

Table::Table() = default;

Table::Table(const QString &fileName) : m_fileName(fileName) {}

Table::~Table() = default;

void Table::setFileName(const QString &fileName)
{
    if (isActive())
        throw KalvorError(QStringLiteral("Нельзя сменить файл открытой таблицы %1").arg(m_fileName));
    m_fileName = fileName;
}

TableData &Table::writable()
{
    // Views opened on one parse share its rows; the first change gives this table its own copy.
    if (m_data.use_count() > 1)
        m_data = std::make_shared<TableData>(*m_data);
    return *m_data;
}

void Table::open()
{
    if (isActive())
        return;
    if (m_fileName.isEmpty())
        throw KalvorError(QStringLiteral("Не задан файл таблицы"));
    auto loaded = std::make_shared<TableData>();
    readDataPacketFile(m_fileName, *loaded);
    m_data = std::move(loaded);
    startBrowsing();
}

void Table::openCopyOf(const Table &source)
{
    if (isActive())
        return;
    source.requireActive();
    if (source.m_state != State::Browse || source.m_modified)
        throw KalvorError(QStringLiteral("Таблица %1 изменена: её строки нельзя взять как прочитанные из файла")
                              .arg(source.m_fileName));
    m_data = source.m_data; // shared until either table changes
    startBrowsing();
}

void Table::createEmpty(const QList<FieldDef> &fields)
{
    if (isActive())
        close();
    m_data = std::make_shared<TableData>();
    m_data->resetFields(fields);
    startBrowsing();
}

void Table::startBrowsing()
{
    m_modified = false;
    m_state = State::Browse;
    m_pending.clear();
    m_readOnly.assign(static_cast<std::size_t>(m_data->fieldCount()), false);
    resolveIndexFields(); // the view is built once below, not once more for the order
    rebuildView();
    first();
    notify(Notification::DataChanged);
}

void Table::close()
{
    if (!isActive())
        return;
    if (m_state != State::Browse) {
        m_pending.clear();
        m_state = State::Browse;
    }
    if (!m_fileName.isEmpty() && (m_modified || !QFile::exists(m_fileName)))
        saveDataPacketFile(*m_data, m_fileName); // on failure the table stays open with its data
    discard();
}

void Table::discard()
{
    if (!isActive())
        return;
    m_pending.clear();
    m_data = std::make_shared<TableData>();
    m_view.clear();
    m_position = -1;
    m_eof = m_bof = true;
    m_modified = false;
    m_state = State::Inactive;
    notify(Notification::DataChanged);
}

void Table::saveToFile() { saveToFile(m_fileName); }

void Table::saveToFile(const QString &fileName)
{
    requireActive();
    if (m_state != State::Browse)
        post();
    saveDataPacketFile(*m_data, fileName);
    if (samePath(fileName, m_fileName))
        m_modified = false;
}

int Table::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_data->fieldCount(); ++i)
        if (m_data->fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int Table::requireField(QStringView name) const
{
    const int index = fieldIndex(name);
    if (index < 0) {
        const QString where = m_fileName.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(m_fileName);
        throw KalvorError(QStringLiteral("Поле %1 не найдено%2").arg(name, where));
    }
    return index;
}

void Table::setReadOnly(int field, bool readOnly)
{
    requireActive();
    m_readOnly.at(static_cast<std::size_t>(field)) = readOnly;
}

bool Table::isReadOnly(int field) const
{
    return field >= 0 && static_cast<std::size_t>(field) < m_readOnly.size() && m_readOnly[static_cast<std::size_t>(field)];
}

// --- navigation ----------------------------------------------------------------------------------

int Table::recordCount() const { return static_cast<int>(m_view.size()); }

int Table::recNo() const
{
    if (m_state == State::Insert)
        return 0;
    return m_position >= 0 && m_position < static_cast<std::ptrdiff_t>(m_view.size()) ? static_cast<int>(m_position) + 1 : 0;
}

void Table::moveTo(std::ptrdiff_t position)
{
    if (m_state != State::Browse)
        post();
    const auto count = static_cast<std::ptrdiff_t>(m_view.size());
    m_position = count == 0 ? -1 : std::clamp<std::ptrdiff_t>(position, 0, count - 1);
    notify(Notification::CursorMoved);
}

void Table::first()
{
    requireActive();
    moveTo(0);
    m_bof = true;
    m_eof = m_view.empty();
}

void Table::last()
{
    requireActive();
    moveTo(static_cast<std::ptrdiff_t>(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.empty();
}

void Table::next()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_position + 1 < static_cast<std::ptrdiff_t>(m_view.size())) {
        moveTo(m_position + 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_eof = true;
    }
}

void Table::prior()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    if (m_position > 0) {
        moveTo(m_position - 1);
        m_bof = false;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

void Table::setRecNo(int recNo)
{
    requireActive();
    moveTo(recNo - 1);
    m_bof = m_eof = m_view.empty();
}

std::uint32_t Table::currentRecord() const
{
    if (m_position < 0 || m_position >= static_cast<std::ptrdiff_t>(m_view.size()))
        return ChangeLogEntry::kNone;
    return m_view[static_cast<std::size_t>(m_position)];
}

RowView Table::currentRow() const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return RowView(m_data.get(), CellRow(m_pending.data()));
    const std::uint32_t record = currentRecord();
    if (record == ChangeLogEntry::kNone)
        return RowView(m_data.get(), CellRow()); // no current row: every field reads as NULL
    return RowView(m_data.get(), m_data->recordCells(record));
}

RowView Table::row(int index) const
{
    if (index < 0 || index >= recordCount())
        throw KalvorError(QStringLiteral("Строка %1 вне таблицы").arg(index + 1));
    return RowView(m_data.get(), m_data->recordCells(m_view[static_cast<std::size_t>(index)]));
}

// --- writing fields ------------------------------------------------------------------------------

void Table::requireActive() const
{
    if (!isActive())
        throw KalvorError(QStringLiteral("Таблица %1 не открыта").arg(m_fileName));
}

void Table::requireEditing(int field) const
{
    requireActive();
    if (m_state != State::Edit && m_state != State::Insert)
        throw KalvorError(QStringLiteral("Таблица не в режиме редактирования"));
    if (field < 0 || field >= fieldCount())
        throw KalvorError(QStringLiteral("Нет поля с номером %1").arg(field));
    if (isReadOnly(field))
        throw KalvorError(QStringLiteral("Поле %1 нельзя изменить").arg(m_data->fields[field].name));
}

void Table::storeValue(int field, std::string_view utf8)
{
    m_pending[static_cast<std::size_t>(field)] = writable().storeText(utf8);
}

void Table::setString(int field, const QString &value)
{
    requireEditing(field);
    if (value.trimmed().isEmpty() && m_data->fields[field].kind != FieldKind::String) {
        setNull(field);
        return;
    }
    if (value.isEmpty()) {
        setNull(field);
        return;
    }
    storeValue(field, valuetext::fromUserText(m_data->fields[field], value));
}

void Table::setFloat(int field, double value)
{
    requireEditing(field);
    const FieldDef &def = m_data->fields[field];
    switch (def.kind) {
    case FieldKind::Fixed:
        storeValue(field, valuetext::formatDecimal(value, def.decimals));
        return;
    case FieldKind::Float:
    case FieldKind::String:
    case FieldKind::Other:
        storeValue(field, valuetext::formatFloat(value));
        return;
    case FieldKind::Integer:
        if (!std::isfinite(value) || std::fabs(value) > 9.0e18)
            throw KalvorError(QStringLiteral("Число вне допустимого диапазона поля %1").arg(def.name));
        setInteger(field, std::llround(value));
        return;
    default:
        throw KalvorError(QStringLiteral("Поле %1 не числовое").arg(def.name));
    }
}

void Table::setInteger(int field, qint64 value)
{
    requireEditing(field);
    const FieldDef &def = m_data->fields[field];
    switch (def.kind) {
    case FieldKind::Integer:
        if (value < def.minInteger() || value > def.maxInteger())
            throw KalvorError(QStringLiteral("Число %1 вне допустимого диапазона поля %2").arg(value).arg(def.name));
        storeValue(field, valuetext::formatInteger(value));
        return;
    case FieldKind::Fixed:
        storeValue(field, valuetext::formatDecimal(static_cast<double>(value), def.decimals));
        return;
    case FieldKind::Float:
    case FieldKind::String:
    case FieldKind::Other:
        storeValue(field, valuetext::formatInteger(value));
        return;
    default:
        throw KalvorError(QStringLiteral("Поле %1 не числовое").arg(def.name));
    }
}

void Table::setBoolean(int field, bool value)
{
    requireEditing(field);
    storeValue(field, value ? "TRUE" : "FALSE");
}

void Table::setDate(int field, const QDate &value)
{
    requireEditing(field);
    if (!value.isValid()) {
        setNull(field);
        return;
    }
    const FieldDef &def = m_data->fields[field];
    if (def.kind == FieldKind::Date || def.kind == FieldKind::DateTime)
        storeValue(field, valuetext::formatDate(value));
    else if (def.kind == FieldKind::String || def.kind == FieldKind::Other)
        setString(field, value.toString(QStringLiteral("dd.MM.yyyy")));
    else
        throw KalvorError(QStringLiteral("Поле %1 не является датой").arg(def.name));
}

void Table::setDateTime(int field, const QDateTime &value)
{
    requireEditing(field);
    if (!value.isValid()) {
        setNull(field);
        return;
    }
    const FieldDef &def = m_data->fields[field];
    if (def.kind == FieldKind::DateTime)
        storeValue(field, valuetext::formatDateTime(value));
    else
        setDate(field, value.date());
}

void Table::setVariant(int field, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        requireEditing(field);
        setNull(field);
        return;
    }
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        setDate(field, value.toDate());
        return;
    case QMetaType::QDateTime:
        setDateTime(field, value.toDateTime());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        setFloat(field, value.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Short:
        setInteger(field, value.toLongLong());
        return;
    case QMetaType::Bool:
        setBoolean(field, value.toBool());
        return;
    default:
        setString(field, value.toString());
    }
}

void Table::setNull(int field)
{
    requireEditing(field);
    m_pending[static_cast<std::size_t>(field)] = Cell{};
}

void Table::setStoredText(int field, std::string_view utf8, bool isNull)
{
    requireEditing(field);
    if (isNull)
        m_pending[static_cast<std::size_t>(field)] = Cell{};
    else
        storeValue(field, utf8);
}

// --- editing -------------------------------------------------------------------------------------

void Table::insert()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    m_pending.assign(static_cast<std::size_t>(fieldCount()), Cell{});
    m_insertPosition = m_view.empty() ? 0 : std::max<std::ptrdiff_t>(m_position, 0);
    m_state = State::Insert;
}

void Table::append()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    m_pending.assign(static_cast<std::size_t>(fieldCount()), Cell{});
    m_insertPosition = static_cast<std::ptrdiff_t>(m_view.size());
    m_state = State::Insert;
}

void Table::edit()
{
    requireActive();
    if (m_state != State::Browse)
        return;
    const std::uint32_t record = currentRecord();
    if (record == ChangeLogEntry::kNone)
        throw KalvorError(QStringLiteral("Нет текущей строки для изменения"));
    const CellRow cells = m_data->recordCells(record);
    m_pending.assign(static_cast<std::size_t>(fieldCount()), Cell{});
    cells.forEachPresent(m_pending.size(), [this](std::size_t f, Cell cell) { m_pending[f] = cell; });
    m_editedRecord = record;
    m_state = State::Edit;
}

void Table::post()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    const State was = m_state;
    m_state = State::Browse;
    if (was == State::Insert) {
        const std::uint32_t record = writable().appendRecord(m_pending.data(), RowState::Inserted);
        const auto position = m_insertPosition;
        if (m_indexFields.empty() && position < static_cast<std::ptrdiff_t>(m_view.size())) {
            // Inserted at the cursor: it goes in file order just before the row it was inserted at.
            const std::uint32_t at = m_view[static_cast<std::size_t>(position)];
            TableData::Place place = m_data->place(at);
            double previousRank = place.rank - 2;
            if (position > 0) {
                const TableData::Place before = m_data->place(m_view[static_cast<std::size_t>(position) - 1]);
                if (before.slot == place.slot)
                    previousRank = before.rank;
            }
            place.rank = (previousRank + place.rank) / 2;
            writable().setPlace(record, place);
        }
        writable().changeLog.push_back({record, ChangeLogEntry::kNone, ChangeAction::Insert});
        m_pending.clear();
        m_modified = true;
        if (accepts(record))
            placeInView(record, static_cast<std::size_t>(std::max<std::ptrdiff_t>(position, 0)));
        notify(Notification::DataChanged);
        return;
    }

    const std::uint32_t old = m_editedRecord;
    const CellRow oldCells = m_data->recordCells(old);
    bool changed = false;
    for (int f = 0; f < fieldCount() && !changed; ++f) {
        const Cell a = oldCells[static_cast<std::size_t>(f)];
        const Cell &b = m_pending[static_cast<std::size_t>(f)];
        changed = a.isNull() != b.isNull() || m_data->text(a) != m_data->text(b);
    }
    if (!changed) {
        m_pending.clear();
        return;
    }
    const unsigned oldState = m_data->rowState(old);
    const unsigned newState = (oldState & RowState::Inserted) ? (RowState::Inserted | RowState::Modified) : RowState::Modified;
    const std::uint32_t record = writable().appendRecord(m_pending.data(), newState);
    writable().setRowState(old, oldState | RowState::Original);
    writable().setPlace(record, m_data->place(old));
    writable().changeLog.push_back({record, old, ChangeAction::Modify});
    m_pending.clear();
    m_modified = true;

    const auto it = std::find(m_view.begin(), m_view.end(), old);
    std::size_t at = it == m_view.end() ? m_view.size() : static_cast<std::size_t>(it - m_view.begin());
    if (it != m_view.end())
        m_view.erase(it);
    if (accepts(record)) {
        placeInView(record, at);
    } else {
        // The row left the filter: the cursor stays on the row that took its place.
        m_position = m_view.empty() ? -1 : std::min<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(at), static_cast<std::ptrdiff_t>(m_view.size()) - 1);
    }
    notify(Notification::DataChanged);
}

void Table::cancel()
{
    requireActive();
    if (m_state == State::Browse)
        return;
    m_pending.clear();
    m_state = State::Browse;
    notify(Notification::DataChanged);
}

void Table::remove()
{
    requireActive();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    const std::uint32_t record = currentRecord();
    if (record == ChangeLogEntry::kNone)
        throw KalvorError(QStringLiteral("Нет текущей строки для удаления"));
    writable().setRowState(record, m_data->rowState(record) | RowState::Deleted);
    writable().changeLog.push_back({record, ChangeLogEntry::kNone, ChangeAction::Delete});
    m_view.erase(m_view.begin() + m_position);
    m_modified = true;
    if (m_position >= static_cast<std::ptrdiff_t>(m_view.size()))
        m_position = static_cast<std::ptrdiff_t>(m_view.size()) - 1;
    m_eof = m_view.empty();
    m_bof = m_view.empty();
    notify(Notification::DataChanged);
}

// --- order and filter ----------------------------------------------------------------------------

void Table::resolveIndexFields()
{
    m_indexFields.clear();
    for (const QString &name : m_indexFieldNames.split(u';', Qt::SkipEmptyParts))
        m_indexFields.push_back(requireField(name.trimmed()));
}

void Table::setIndexFieldNames(const QString &names)
{
    std::vector<int> fields;
    for (const QString &name : names.split(u';', Qt::SkipEmptyParts)) {
        if (!isActive()) {
            fields.clear();
            break;
        }
        fields.push_back(requireField(name.trimmed()));
    }
    m_indexFieldNames = names;
    m_indexFields = fields;
    if (isActive()) {
        const std::uint32_t current = currentRecord();
        rebuildView();
        const auto it = std::find(m_view.begin(), m_view.end(), current);
        m_position = it != m_view.end() ? it - m_view.begin() : (m_view.empty() ? -1 : 0);
        notify(Notification::DataChanged);
    }
}

void Table::setFilter(Filter filter)
{
    m_filter = std::move(filter);
    if (isActive() && m_filtered)
        refresh();
}

void Table::setFiltered(bool filtered)
{
    if (m_filtered == filtered)
        return;
    m_filtered = filtered;
    if (isActive()) {
        if (m_state != State::Browse)
            post();
        rebuildView();
        first();
        notify(Notification::DataChanged);
    }
}

void Table::refresh()
{
    requireActive();
    if (m_state != State::Browse)
        post();
    const std::uint32_t current = currentRecord();
    rebuildView();
    const auto it = std::find(m_view.begin(), m_view.end(), current);
    m_position = it != m_view.end() ? it - m_view.begin() : (m_view.empty() ? -1 : 0);
    m_eof = m_bof = m_view.empty();
    notify(Notification::DataChanged);
}

bool Table::accepts(std::uint32_t record) const
{
    if (!RowState::isVisible(m_data->rowState(record)))
        return false;
    if (m_filtered && m_filter)
        return m_filter(RowView(m_data.get(), m_data->recordCells(record)));
    return true;
}

bool Table::lessForOrder(std::uint32_t a, std::uint32_t b) const
{
    const CellRow ca = m_data->recordCells(a);
    const CellRow cb = m_data->recordCells(b);
    for (const int f : m_indexFields) {
        const Cell x = ca[static_cast<std::size_t>(f)];
        const Cell y = cb[static_cast<std::size_t>(f)];
        const int c = compareValues(m_data->fields[f], m_data->text(x), x.isNull(), m_data->text(y), y.isNull());
        if (c != 0)
            return c < 0;
    }
    return m_data->placedBefore(a, b);
}

void Table::rebuildView()
{
    m_view.clear();
    const std::vector<std::uint32_t> order = m_data->fileOrder();
    m_view.reserve(order.size());
    for (const std::uint32_t record : order)
        if (accepts(record))
            m_view.push_back(record);
    if (!m_indexFields.empty()) {
        std::stable_sort(m_view.begin(), m_view.end(),
                         [this](std::uint32_t a, std::uint32_t b) { return lessForOrder(a, b); });
    }
    m_view.shrink_to_fit();
}

void Table::placeInView(std::uint32_t record, std::size_t hint)
{
    std::size_t at = std::min(hint, m_view.size());
    if (!m_indexFields.empty()) {
        const auto it = std::upper_bound(m_view.begin(), m_view.end(), record,
                                         [this](std::uint32_t a, std::uint32_t b) { return lessForOrder(a, b); });
        at = static_cast<std::size_t>(it - m_view.begin());
    }
    m_view.insert(m_view.begin() + static_cast<std::ptrdiff_t>(at), record);
    m_position = static_cast<std::ptrdiff_t>(at);
    m_eof = m_bof = false;
}

// --- attached views ------------------------------------------------------------------------------

void Table::disableControls() { ++m_disabledControls; }

void Table::enableControls()
{
    if (m_disabledControls > 0 && --m_disabledControls == 0)
        notify(Notification::DataChanged);
}

int Table::addListener(Listener listener)
{
    const int id = m_nextListenerId++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

void Table::removeListener(int id)
{
    std::erase_if(m_listeners, [id](const auto &entry) { return entry.first == id; });
}

void Table::notify(Notification what)
{
    if (m_disabledControls > 0)
        return;
    const auto listeners = m_listeners; // a listener may remove itself
    for (const auto &[id, listener] : listeners)
        listener(what);
}

} // namespace kalvor
