#include "gui/maintenance/DivideForm.h"

#include "app/TAppSettings.h"
#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace kalvor::gui {

using maintenance::TextGrid;

void TextGridModel::setRows(TextGrid rows, int columns)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_columns = std::max(columns, 0);
    for (const auto &row : std::as_const(m_rows))
        m_columns = std::max(m_columns, static_cast<int>(row.size()));
    endResetModel();
}

void TextGridModel::rowsChanged()
{
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, std::max(m_columns - 1, 0)));
}

int TextGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TextGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant TextGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const auto &row = m_rows.at(index.row());
    return index.column() < row.size() ? row.at(index.column()) : QString();
}

TDivideForm::TDivideForm(TAppSettings &settings, QWidget *parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("TDivideForm"));
    setWindowTitle(QStringLiteral("Разделение отчета на части"));
    resize(1000, 700);

    DataSG = makeGrid("DataSG");
    TTNSG = makeGrid("TTNSG");
    OneSG = makeGrid("OneSG");
    TwoSG = makeGrid("TwoSG");
    ItogSG1 = makeGrid("ItogSG1");
    ItogSG2 = makeGrid("ItogSG2");

    auto *middle = new QSplitter(Qt::Horizontal);
    middle->addWidget(OneSG);
    middle->addWidget(TwoSG);
    middle->addWidget(TTNSG);
    auto *bottom = new QSplitter(Qt::Horizontal);
    bottom->addWidget(ItogSG1);
    bottom->addWidget(ItogSG2);
    auto *grids = new QSplitter(Qt::Vertical);
    grids->addWidget(DataSG);
    grids->addWidget(middle);
    grids->addWidget(bottom);

    Gauge1 = new QProgressBar;
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 1);
    Gauge1->setValue(0);
    auto button = [this](const char *name, const QString &caption, void (TDivideForm::*handler)()) {
        auto *b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, handler);
        return b;
    };
    Button1 = button("Button1", QStringLiteral("Сохранить исходные данные"), &TDivideForm::Button1Click);
    Button2 = button("Button2", QStringLiteral("Загрузить исходные данные"), &TDivideForm::Button2Click);
    Button3 = button("Button3", QStringLiteral("Поделить данные"), &TDivideForm::Button3Click);
    Button4 = button("Button4", QStringLiteral("Сохранить результат 1"), &TDivideForm::Button4Click);
    Button5 = button("Button5", QStringLiteral("Сохранить результат 2"), &TDivideForm::Button5Click);

    auto *panel = new QHBoxLayout;
    panel->addWidget(Gauge1, 1);
    for (QPushButton *b : {Button1, Button2, Button3, Button4, Button5})
        panel->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grids, 1);
    layout->addLayout(panel);
}

QTableView *TDivideForm::makeGrid(const char *name)
{
    auto *grid = new QTableView;
    grid->setObjectName(QString::fromLatin1(name));
    grid->setModel(new TextGridModel(grid));
    // Plain text grids: no header rows or columns.
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return grid;
}

TextGridModel *TDivideForm::modelOf(const QTableView *grid)
{
    return static_cast<TextGridModel *>(grid->model());
}

const TextGrid &TDivideForm::rowsOf(const QTableView *grid)
{
    return modelOf(grid)->rows();
}

void TDivideForm::setSourceRows(TextGrid rows)
{
    modelOf(DataSG)->setRows(std::move(rows));
}

void TDivideForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (DataSG->model()->columnCount() > 0)
        DataSG->setColumnWidth(0, 300);
}

void TDivideForm::Button1Click()
{
    try {
        maintenance::saveExchangeFile(maintenance::exchangeFile(m_settings.FcurDir), rowsOf(DataSG));
        MessageBoxes::information(this, QStringLiteral("Выгружено в \\divide\\data.txt"));
    } catch (const std::exception &) {
        MessageBoxes::information(this, QStringLiteral("Ошибка записи в файл!"));
    }
}

void TDivideForm::Button2Click()
{
    if (std::optional<TextGrid> rows = maintenance::loadExchangeFile(maintenance::exchangeFile(m_settings.FcurDir)))
        setSourceRows(std::move(*rows));
}

void TDivideForm::Button3Click()
{
    const TextGrid &source = rowsOf(DataSG);
    Gauge1->setRange(0, static_cast<int>(std::max<qsizetype>(source.size(), 1)));
    Gauge1->setValue(0);
    maintenance::SplitResult halves = maintenance::splitByInvoices(source, [this](qsizetype done, qsizetype total) {
        if (done % 512 == 0 || done == total) {
            Gauge1->setValue(static_cast<int>(done));
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    });
    const int columns = DataSG->model()->columnCount();
    modelOf(TTNSG)->setRows(std::move(halves.invoices), columns);
    modelOf(OneSG)->setRows(std::move(halves.firstHalf), columns);
    modelOf(TwoSG)->setRows(std::move(halves.secondHalf), columns);
    modelOf(ItogSG1)->setRows(std::move(halves.firstRows), columns);
    modelOf(ItogSG2)->setRows(std::move(halves.secondRows), columns);
}

void TDivideForm::saveHalf(int part, QTableView *invoices, QTableView *rows, const QString &message)
{
    try {
        // The grids show the prepared text afterwards, as it goes into the file.
        for (QTableView *grid : {invoices, rows}) {
            maintenance::preparePacketCells(modelOf(grid)->mutableRows());
            modelOf(grid)->rowsChanged();
        }
        const QString file = maintenance::splitResultFile(m_settings.FcurDir, m_settings.FINNYYMMCC, part);
        maintenance::writeSplitHalf(file, rowsOf(invoices), rowsOf(rows));
        MessageBoxes::information(this, message);
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
}

void TDivideForm::Button4Click()
{
    saveHalf(1, OneSG, ItogSG1, QStringLiteral("1 Выгружено"));
}

void TDivideForm::Button5Click()
{
    saveHalf(2, TwoSG, ItogSG2, QStringLiteral("2 Выгружено"));
}

} // namespace kalvor::gui
