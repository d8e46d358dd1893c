#pragma once

#include "sheets/calc/OfficeOptions.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QTableView;
class QWidget;

namespace kalvor {
class TAppSettings;
}

namespace kalvor::gui {

// The commands that work through the office suite: the declaration laid out in LibreOffice Calc
// ("Сервис" -> "Выгрузить в Calc", SpeedButton19) and "Открыть в Calc" in the context menu of the main
// window's grids and of the reference-book lists (a grid's visible columns and rows in a new document).
class CalcCommands final : public QObject {
    Q_OBJECT
public:
    CalcCommands(TAppSettings &settings, QWidget *window, std::function<QString()> periodText,
                 QObject *parent = nullptr);
    ~CalcCommands() override;

    QAction *ExportToXLSActionOO = nullptr;
    void createActions(QObject *owner);

    void ExportToXLSActionOOExecute();
    // The grid in a new Calc document; the office's failure is shown.
    void GridToExcel(QTableView *grid);

    // --- seams for tests -----------------------------------------------------------------------
    void setOfficeOptions(const sheets::calc::OfficeOptions &options) { m_office = options; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TAppSettings &m_settings;
    QPointer<QWidget> m_window;
    std::function<QString()> m_periodText;
    sheets::calc::OfficeOptions m_office;
};

} // namespace kalvor::gui
