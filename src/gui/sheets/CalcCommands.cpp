#include "gui/sheets/CalcCommands.h"

#include "app/TAppSettings.h"
#include "gui/common/MessageBoxes.h"
#include "gui/refbooks/RefBookWindow.h"
#include "gui/sheets/ToCalcForm.h"
#include "sheets/SheetExport.h"
#include "sheets/calc/CalcExport.h"
#include "sheets/calc/TOOCalc.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

#include <thread>

namespace kalvor::gui {

namespace {

// The grid's visible columns in the order shown, and the text of every row in them.
sheets::calc::GridSnapshot snapshotOf(const QTableView &grid)
{
    sheets::calc::GridSnapshot snapshot;
    const QAbstractItemModel *model = grid.model();
    if (!model)
        return snapshot;
    const QHeaderView *header = grid.horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (grid.isColumnHidden(logical))
            continue;
        columns.push_back(logical);
        snapshot.columns.push_back(
            {model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString(), grid.columnWidth(logical)});
    }
    const int rows = model->rowCount();
    snapshot.rows.reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        QStringList texts;
        texts.reserve(static_cast<qsizetype>(columns.size()));
        for (const int c : columns)
            texts.append(model->data(model->index(r, c), Qt::DisplayRole).toString());
        snapshot.rows.push_back(std::move(texts));
    }
    return snapshot;
}

} // namespace

CalcCommands::CalcCommands(TAppSettings &settings, QWidget *window, std::function<QString()> periodText,
                           QObject *parent)
    : QObject(parent), m_settings(settings), m_window(window), m_periodText(std::move(periodText))
{
    // "Открыть в Calc" for the grids of the main window and of the reference-book lists.
    qApp->installEventFilter(this);
}

CalcCommands::~CalcCommands()
{
    qApp->removeEventFilter(this);
}

void CalcCommands::createActions(QObject *owner)
{
    ExportToXLSActionOO = new QAction(QStringLiteral("Выгрузить в Calc"), owner);
    ExportToXLSActionOO->setObjectName(QStringLiteral("ExportToXLSActionOO"));
    ExportToXLSActionOO->setToolTip(QStringLiteral("Экспортировать в OpenOffice Calc"));
    connect(ExportToXLSActionOO, &QAction::triggered, this, &CalcCommands::ExportToXLSActionOOExecute);
}

void CalcCommands::ExportToXLSActionOOExecute()
{
    sheets::SheetExportPlan plan;
    try {
        plan = sheets::planSheetExport(m_settings, QString::fromLatin1(sheets::calc::kCalcTemplate),
                                       m_periodText ? m_periodText() : QString());
    } catch (const KalvorError &e) {
        MessageBoxes::error(m_window, e.message());
        return;
    }
    TToCalcForm form(std::move(plan), m_office, m_window);
    form.exec();
    if (!form.errorMessage().isEmpty()) {
        MessageBoxes::error(m_window, form.errorMessage());
        return;
    }
    if (form.complete()) {
        try {
            sheets::storePeriodTotals(m_settings.FIniFile, m_settings.FPeriodString, form.periodTotal());
        } catch (const KalvorError &e) {
            MessageBoxes::error(m_window, e.message());
        }
    }
}

void CalcCommands::GridToExcel(QTableView *grid)
{
    if (!grid)
        return;
    const sheets::calc::GridSnapshot snapshot = snapshotOf(*grid);
    QString failure;
    bool done = false;
    QEventLoop loop;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The office may take a while to start: the window keeps painting meanwhile.
    std::thread worker([&] {
        try {
            sheets::calc::TOOCalc::GridToExcel(snapshot, m_office);
        } catch (const KalvorError &e) {
            failure = e.message();
        }
        QMetaObject::invokeMethod(
            &loop,
            [&] {
                done = true;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    QApplication::restoreOverrideCursor();
    if (!failure.isEmpty())
        MessageBoxes::error(grid->window(), failure);
}

bool CalcCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ContextMenu)
        return false;
    auto *grid = qobject_cast<QTableView *>(watched->parent());
    if (!grid || grid->viewport() != watched)
        return false;
    if (grid->window() != m_window && !qobject_cast<RefBookWindow *>(grid->window()))
        return false;
    QMenu menu(grid);
    QAction *open = menu.addAction(QStringLiteral("Открыть в Calc"));
    if (menu.exec(static_cast<QContextMenuEvent *>(event)->globalPos()) == open)
        GridToExcel(grid);
    return true;
}

} // namespace kalvor::gui
