#pragma once

#include "store/Table.h"

#include <QAbstractTableModel>
#include <QColor>

#include <functional>

namespace kalvor::gui {

// A read-only grid model over a table's presented rows: no copies, the grid reads the table directly,
// so 100,000 rows cost nothing extra. It follows the table's changes through its listener.
class TableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString caption;
    };
    // Whether a cell is drawn in the highlight colour.
    using Highlight = std::function<bool(const RowView &row, const QString &field)>;

    TableModel(Table &table, QList<Column> columns, QObject *parent = nullptr);
    ~TableModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setHighlight(Highlight highlight, const QColor &colour);
    Table &table() const { return m_table; }
    // Repaints every cell, e.g. after the highlight options changed.
    void refresh();

private:
    void resolveFields();

    Table &m_table;
    QList<Column> m_columns;
    std::vector<int> m_fields; // field index per column, -1 while the table is closed
    Highlight m_highlight;
    QColor m_highlightColour;
    int m_listener = 0;
};

} // namespace kalvor::gui
