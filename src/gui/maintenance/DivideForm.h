#pragma once

#include "maintenance/ReportSplit.h"

#include <QAbstractTableModel>
#include <QDialog>

class QProgressBar;
class QPushButton;
class QTableView;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// Rows of text cells for the splitting window's grids; every row shows as many columns as the widest.
class TextGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(maintenance::TextGrid rows, int columns = -1);
    const maintenance::TextGrid &rows() const { return m_rows; }
    maintenance::TextGrid &mutableRows() { return m_rows; }
    void rowsChanged(); // after mutableRows() was changed in place

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    maintenance::TextGrid m_rows;
    int m_columns = 0;
};

// "Разделение отчета на части": cuts a declaration held as text into two halves by invoices and writes
// each as a data packet. Made once per run; its grids keep their content between showings.
class TDivideForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDivideForm(TAppSettings &settings, QWidget *parent = nullptr);

    QTableView *DataSG = nullptr;
    QTableView *TTNSG = nullptr;
    QTableView *OneSG = nullptr;
    QTableView *TwoSG = nullptr;
    QTableView *ItogSG1 = nullptr;
    QTableView *ItogSG2 = nullptr;
    QProgressBar *Gauge1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;
    QPushButton *Button5 = nullptr;

    void setSourceRows(maintenance::TextGrid rows);
    // The rows a grid holds.
    static const maintenance::TextGrid &rowsOf(const QTableView *grid);

    void Button1Click(); // save the source rows to divide/data.txt
    void Button2Click(); // load them from there
    void Button3Click(); // split
    void Button4Click(); // write the first half
    void Button5Click(); // write the second half

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTableView *makeGrid(const char *name);
    static TextGridModel *modelOf(const QTableView *grid);
    void saveHalf(int part, QTableView *invoices, QTableView *rows, const QString &message);

    TAppSettings &m_settings;
};

} // namespace kalvor::gui
