#pragma once

#include "gui/common/TableModel.h"
#include "refbooks/RefBooks.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <memory>

class QAction;
class QHBoxLayout;
class QPushButton;
class QTableView;
class QToolButton;
class QVBoxLayout;

namespace kalvor {
class Table;
}

namespace kalvor::gui {

// The warning colour of entry fields that block saving.
inline const QColor kWarningColour{0xFF, 0x88, 0x00};
// Paints an entry field (line edit or drop-down) in the warning colour, or white again.
void paintWarning(QWidget *field, bool warning);
bool isPaintedWarning(const QWidget *field);

// Keeps a grid's current row and a table's cursor together, both ways.
class GridCursorLink final : public QObject {
    Q_OBJECT
public:
    GridCursorLink(QTableView *grid, Table &table, QObject *parent = nullptr);
    ~GridCursorLink() override;

    // Selects the table's current row in the grid.
    void showCursor();

private:
    QTableView *m_grid;
    Table &m_table;
    int m_listener = 0;
    bool m_syncing = false;
};

// What the reference book windows share: the book's table opened with its order, a read-only grid
// over it, a row for tool buttons, the "Закрыть" button, and one message when the book could not be
// opened, shown once as the window appears.
class RefBookWindow : public QDialog {
    Q_OBJECT
public:
    ~RefBookWindow() override;

    const QString &fileName() const { return m_fileName; }
    Table &bookTable() const { return *m_table; }
    QTableView *bookGrid() const { return m_grid; }
    // Why the list is empty, when it is; empty when the book opened.
    const QString &openingProblem() const { return m_problem; }
    QPushButton *ButtonClose = nullptr;

protected:
    RefBookWindow(RefBook book, const QString &fileName, QList<TableModel::Column> columns, QWidget *parent);

    QVBoxLayout *mainLayout() const { return m_main; }
    QHBoxLayout *toolRow();
    QToolButton *addToolButton(QAction *action, const QString &objectName);
    // Puts the grid and the close row under whatever the subclass placed above.
    void finishLayout(const QString &gridName);
    void addProblem(const QString &message);

    // Saves an accepted entry to the book and shows the book again with the cursor on it.
    void storeEntry(Table &entry);
    // Deletes the current row and writes the book.
    void deleteCurrent();
    // Runs each time the book's table opens (enabling of the commands).
    virtual void bookOpened() {}
    void reopen(int recNo);

    void showEvent(QShowEvent *event) override;

    RefBook m_book;

private:
    QString m_fileName;
    std::unique_ptr<Table> m_table;
    TableModel *m_model = nullptr;
    QTableView *m_grid = nullptr;
    GridCursorLink *m_link = nullptr;
    QVBoxLayout *m_main = nullptr;
    QHBoxLayout *m_tools = nullptr;
    QString m_problem;
    bool m_problemShown = false;
};

} // namespace kalvor::gui
