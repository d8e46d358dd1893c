#include "gui/refbooks/RefBookWindow.h"

#include "gui/common/DialogButtons.h"
#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace kalvor::gui {

void paintWarning(QWidget *field, bool warning)
{
    const QColor colour = warning ? kWarningColour : QColor(Qt::white);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    // A drop-down that is not editable draws its face in the button colour.
    if (qobject_cast<QComboBox *>(field))
        palette.setColor(QPalette::Button, colour);
    field->setPalette(palette);
    field->setAutoFillBackground(warning);
}

bool isPaintedWarning(const QWidget *field) { return field->palette().color(QPalette::Base) == kWarningColour; }

// --- GridCursorLink ------------------------------------------------------------------------------

GridCursorLink::GridCursorLink(QTableView *grid, Table &table, QObject *parent)
    : QObject(parent), m_grid(grid), m_table(table)
{
    // The model resets on every data change and is created first, so it has its rows when we get here.
    m_listener = m_table.addListener([this](Table::Notification) { showCursor(); });
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncing || !current.isValid() || !m_table.isActive() || m_table.recNo() == current.row() + 1)
                    return;
                m_syncing = true;
                m_table.setRecNo(current.row() + 1);
                m_syncing = false;
            });
    // The model replaces its selection model never, but a reset clears the current index.
    connect(m_grid->model(), &QAbstractItemModel::modelReset, this, &GridCursorLink::showCursor);
}

GridCursorLink::~GridCursorLink() { m_table.removeListener(m_listener); }

void GridCursorLink::showCursor()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int row = m_table.isActive() ? m_table.recNo() - 1 : -1;
    if (row >= 0 && row < m_grid->model()->rowCount()) {
        const QModelIndex index = m_grid->model()->index(row, 0);
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_grid->scrollTo(index);
    }
    m_syncing = false;
}

// --- RefBookWindow -------------------------------------------------------------------------------

RefBookWindow::RefBookWindow(RefBook book, const QString &fileName, QList<TableModel::Column> columns, QWidget *parent)
    : QDialog(parent), m_book(book), m_fileName(fileName), m_table(std::make_unique<Table>())
{
    addProblem(openRefBook(*m_table, fileName, book));
    m_model = new TableModel(*m_table, std::move(columns), this);
    m_grid = new QTableView(this);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_link = new GridCursorLink(m_grid, *m_table, this);
    m_link->showCursor();
    m_main = new QVBoxLayout(this);
}

RefBookWindow::~RefBookWindow()
{
    // The link and the model listen to the table: they go before it.
    delete m_link;
    delete m_model;
}

QHBoxLayout *RefBookWindow::toolRow()
{
    if (!m_tools) {
        m_tools = new QHBoxLayout;
        m_tools->setSpacing(2);
        m_main->addLayout(m_tools);
    }
    return m_tools;
}

QToolButton *RefBookWindow::addToolButton(QAction *action, const QString &objectName)
{
    auto *button = new QToolButton(this);
    button->setObjectName(objectName);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    toolRow()->addWidget(button);
    return button;
}

void RefBookWindow::finishLayout(const QString &gridName)
{
    if (m_tools)
        m_tools->addStretch(1);
    m_grid->setObjectName(gridName);
    m_main->addWidget(m_grid, 1);
    QHBoxLayout *row = nullptr;
    ButtonClose = closeButton(this, row);
    m_main->addLayout(row);
    m_grid->resizeColumnsToContents();
    m_grid->horizontalHeader()->setStretchLastSection(true);
}

void RefBookWindow::addProblem(const QString &message)
{
    if (message.isEmpty())
        return;
    if (!m_problem.isEmpty())
        m_problem += QStringLiteral("\n\n");
    m_problem += message;
}

void RefBookWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_problem.isEmpty() || m_problemShown)
        return;
    m_problemShown = true;
    // After the window is on screen, so the message stands in front of it.
    QTimer::singleShot(0, this, [this] { MessageBoxes::information(this, m_problem); });
}

void RefBookWindow::reopen(int recNo)
{
    try {
        reopenAt(*m_table, recNo);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
    }
    m_link->showCursor();
    bookOpened();
}

void RefBookWindow::storeEntry(Table &entry)
{
    int recNo = 1;
    try {
        recNo = saveEntry(entry);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
        return;
    }
    reopen(recNo);
}

void RefBookWindow::deleteCurrent()
{
    if (!canEditOrDelete(*m_table))
        return;
    try {
        deleteCurrentEntry(*m_table);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
        reopen(m_table->recNo());
        return;
    }
    m_link->showCursor();
    bookOpened();
}

} // namespace kalvor::gui
