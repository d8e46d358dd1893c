#include "gui/common/TableModel.h"

#include "app/DisplayText.h"

namespace kalvor::gui {

TableModel::TableModel(Table &table, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_table(table), m_columns(std::move(columns))
{
    resolveFields();
    m_listener = m_table.addListener([this](Table::Notification what) {
        if (what == Table::Notification::DataChanged)
            refresh();
    });
}

TableModel::~TableModel() { m_table.removeListener(m_listener); }

void TableModel::resolveFields()
{
    m_fields.clear();
    for (const Column &c : m_columns)
        m_fields.push_back(m_table.isActive() ? m_table.fieldIndex(c.field) : -1);
}

void TableModel::refresh()
{
    beginResetModel();
    resolveFields();
    endResetModel();
}

int TableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table.isActive() ? 0 : m_table.recordCount();
}

int TableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int field = m_fields[static_cast<std::size_t>(index.column())];
    if (field < 0)
        return {};
    if (role == Qt::DisplayRole)
        return displayText(m_table.row(index.row()), field);
    if (role == Qt::TextAlignmentRole) {
        const FieldKind kind = m_table.field(field).kind;
        const bool number = kind == FieldKind::Integer || kind == FieldKind::Fixed || kind == FieldKind::Float;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role == Qt::BackgroundRole && m_highlight
        && m_highlight(m_table.row(index.row()), m_columns[index.column()].field))
        return m_highlightColour;
    return {};
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount())
        return m_columns[section].caption;
    return {};
}

void TableModel::setHighlight(Highlight highlight, const QColor &colour)
{
    m_highlight = std::move(highlight);
    m_highlightColour = colour;
    refresh();
}

} // namespace kalvor::gui
