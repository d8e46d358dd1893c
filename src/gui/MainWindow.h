#pragma once

#include "app/TAppSettings.h"
#include "editing/DeclarationViews.h"
#include "editing/HighlightRules.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QApplication;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QToolButton;

namespace kalvor::gui {

class DatabaseCommands;
class ReportCommands;
class EditingCommands;
class HelpCommands;
class MaintenanceCommands;
class NextMonthCommands;
class OutsideReportNotice;
class PeriodCommands;
class RefBookCommands;
class SheetCommands;
class PrintCommands;
class CalcCommands;
class TableModel;
class UpdateCommands;

// The main window: the period line, the views of the current declaration and every command.
class TMainForm final : public QMainWindow {
    Q_OBJECT
public:
    // `arguments` are the program's (for --home); `executableDir` the folder of the program file.
    TMainForm(const QStringList &arguments, const QString &executableDir, QWidget *parent = nullptr);
    ~TMainForm() override;

    // The start-up: version, workspace and configuration, first or normal start, the views. An error
    // is shown with its text and the window opens without tables.
    void FormCreate();

    std::unique_ptr<TAppSettings> AppSettings;
    DeclarationViews Views;
    // Highlight options of the grids; every run starts with all of them on.
    bool CheckErrors = true;
    bool Chk_rest = true;
    bool Chk_empty = true;
    bool Chk_TTN_DATE = true;
    bool Chk_Production_Code = true;
    bool Chk_vodka = true;
    bool Chk_Koniyak = true;

    // --- controls -----------------------------------------------------------------------------
    QComboBox *ComboBoxMonth = nullptr;
    QComboBox *ComboBoxYear = nullptr;
    QToolButton *BtnPeriodDel = nullptr;
    QToolButton *BtnPeriodAdd = nullptr;
    QPushButton *Button1 = nullptr;
    QLabel *Essential = nullptr;
    QLabel *lblVersion = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QTableView *DBGridInvoice = nullptr;
    QTableView *DBGridProduction = nullptr;
    QTableView *DBGridInner = nullptr;
    QWidget *Panel17 = nullptr;
    // The coming/charges panel: two page controls with six grids over the selected position (or, while
    // the transfers grid has the focus, over its transfers).
    QWidget *Panel11 = nullptr;
    QLabel *DescComingLabel = nullptr;
    QLabel *DescChargesLabel = nullptr;
    QTabWidget *ComingPageControl = nullptr;
    QTabWidget *ChargesPageControl = nullptr;
    QWidget *TabSheetByerReturn = nullptr;
    QWidget *TabSheetInnerCharges = nullptr;
    QTableView *DBGridSupplier = nullptr;
    QTableView *DBGridByerReturn = nullptr;
    QTableView *DBGridMarkup = nullptr;
    QTableView *DBGridInnerTransfer = nullptr;
    QTableView *DBGridWriteoff = nullptr;
    QTableView *DBGridSupplierReturn = nullptr;
    // Tool buttons of the invoices, positions and transfers, and the search controls.
    QToolButton *SpeedButtonAddInvoice = nullptr;
    QToolButton *SpeedButton3 = nullptr;
    QToolButton *SpeedButton4 = nullptr;
    QToolButton *SpeedButton6 = nullptr;
    QToolButton *SpeedButton7 = nullptr;
    QToolButton *SpeedButton5 = nullptr;
    QToolButton *SpeedButton12 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *SpeedButton8 = nullptr;
    QToolButton *SpeedButton9 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QToolButton *SpeedButton18 = nullptr;
    QToolButton *SpeedButton20 = nullptr; // hidden unless the service option shows it
    QToolButton *SpeedButton13 = nullptr; // the declaration laid out in a workbook
    QToolButton *SpeedButton21 = nullptr; // the error checks; hidden unless the service option shows it
    QToolButton *SpeedButton19 = nullptr; // the declaration laid out in LibreOffice Calc
    QComboBox *ComboBoxSearch = nullptr;  // hidden, as EditSearch and ButtonSearch
    QLineEdit *EditSearch = nullptr;
    QPushButton *ButtonSearch = nullptr;

    // --- commands -----------------------------------------------------------------------------
    QAction *ExitAction = nullptr;
    QAction *EssentialAction = nullptr;
    QAction *N30 = nullptr;
    QAction *N31 = nullptr;
    QAction *N32 = nullptr;
    QAction *HelpAction = nullptr;
    QAction *SendContractMailItem = nullptr;
    QAction *SendNonContractMailItem = nullptr;
    QAction *N24 = nullptr;
    QAction *N15 = nullptr; // "Просмотр" -> "Приход/Расход за отч. период"

    // The key of the row the last negative-remains search showed; kept across period changes.
    QString dkeySearchGlobal;

    const QString &curDir() const { return m_curDir; }
    bool updateExit() const { return m_updateExit; }
    // The first start's dialogs were left without a period or requisites: the program ends.
    bool setupDeclined() const { return m_setupDeclined; }
    // Whether the current period's kinds of production were converted already (the conversion command
    // is disabled for such a period).
    bool periodConverted() const { return m_periodConverted; }

    // --- handlers -----------------------------------------------------------------------------
    void ExitActionExecute();
    void EssentialActionExecute();
    void ComboBoxYearChange();
    void BtnPeriodAddClick();
    void BtnPeriodDelClick();
    void GetNewPeriod(int tmpPeriodYear, int tmpPeriodMonth);
    void Button1Click();
    void DBGridInvoiceCellClick();
    void DBGridProductionCellClick();
    void DBGridInnerKeyUp();
    void DBGridInvoiceEnter();
    void DBGridProductionEnter();
    void DBGridInnerEnter();
    void ComingPageControlChange(int index);
    void N15Click();
    void SpeedButton18Click();
    void Edit1KeyDown(int key);
    void SpeedButton20Click();
    void ButtonSearchClick();

    // Reads the declaration file again into the four views, puts them on these record numbers and
    // shows them; false (after the message) when the file cannot be read.
    bool reopenViews(const ViewCursor &at = ViewCursor());
    // The settings name another period or other files: the period line, the requisites line and the
    // commands that depend on the period follow them.
    void periodSwitched();
    PeriodCommands *periodCommands() const { return m_period.get(); }
    // The invoice, position and transfer commands (their actions sit on the tool row).
    EditingCommands *editingCommands() const { return m_editing.get(); }
    SheetCommands *sheetCommands() const { return m_sheets.get(); }
    NextMonthCommands *nextMonthCommands() const { return m_nextMonth.get(); }
    ReportCommands *reportCommands() const { return m_reports.get(); }
    PrintCommands *printCommands() const { return m_print.get(); }
    CalcCommands *calcCommands() const { return m_calc.get(); }
    // Repaints the three main grids, e.g. after the highlight options changed.
    void repaintGrids();
    HighlightOptions highlightOptions() const;
    // The month of the period line: the year selector's text and the month selector's index + 1.
    DeclarationMonth declarationMonth() const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildMaintenanceCommands();
    void buildPeriodCommands();
    void buildSheetCommands();
    void buildCalcCommands();
    void buildDatabaseCommands();
    void buildNextMonthCommands();
    // The notes of the period line (the next month out of date, a report from an outside folder) and the
    // caption follow the current period.
    void followPeriodNotes();
    // Leaves a report loaded from an outside folder for the period the workspace's configuration names.
    void returnToWorkspace();
    void buildReportCommands();
    void buildPanels();
    QWidget *buildToolRow();
    QWidget *buildChargesPanel();
    void buildCommands();
    void applyServiceOptions();
    // After the views moved: the grids follow their current rows and the commands are enabled anew.
    void showViews(bool positionViewOpened, bool transferViewOpened);
    void setPanelSource(bool transfers, bool chargesOnly);
    void showPanelFor(bool transfers);
    // The row a grid moved to becomes its view's current row; false while the program moves the grids.
    bool followGrid(QTableView *grid, Table &view);
    bool chargesVisible() const;
    QWidget *buildPeriodLine();
    void FormShow();
    void FormClose();
    void showPeriod(int month, int year);
    void showCurrentPeriod();
    void startViews();
    void stepPeriod(int direction);

    QStringList m_arguments;
    QString m_executableDir;
    QString m_curDir;
    bool m_updateExit = false;
    bool m_setupDeclined = false;
    bool m_periodConverted = false;
    bool m_showingPeriod = false; // selectors set by the program do not count as the user's choice
    std::unique_ptr<UpdateCommands> m_update;
    std::unique_ptr<HelpCommands> m_help;
    std::unique_ptr<RefBookCommands> m_refBooks;
    std::unique_ptr<MaintenanceCommands> m_maintenance;
    std::unique_ptr<PeriodCommands> m_period;
    std::unique_ptr<EditingCommands> m_editing;
    std::unique_ptr<SheetCommands> m_sheets;
    std::unique_ptr<CalcCommands> m_calc;
    std::unique_ptr<DatabaseCommands> m_database;
    std::unique_ptr<NextMonthCommands> m_nextMonth;
    OutsideReportNotice *m_outsideNotice = nullptr;
    QString m_caption; // the window's caption with the program version
    std::unique_ptr<ReportCommands> m_reports;
    std::unique_ptr<PrintCommands> m_print;
    QHBoxLayout *m_toolLayout = nullptr;
    QAction *m_firstBulkCorrection = nullptr; // the hidden reports after the conversion start here
    QMenu *m_booksMenu = nullptr;
    QMenu *m_fileMenu = nullptr;
    QMenu *m_serviceMenu = nullptr;
    QMenu *m_reportsMenu = nullptr;
    TableModel *m_invoiceModel = nullptr;
    TableModel *m_productionModel = nullptr;
    TableModel *m_transferModel = nullptr;
    // Each grid of the coming/charges panel has a model over either view; switching swaps them.
    struct PanelGrid {
        QTableView *grid;
        TableModel *charges;
        TableModel *transfers;
    };
    std::vector<PanelGrid> m_panelGrids; // the two coming grids first, then the four charges grids
    bool m_syncing = false;              // grids moved by the program do not start the cascade again
};

// Sets up the application (title, Russian standard buttons, wheel translation), shows the main window
// and runs the event loop.
int runDesktop(QApplication &app);

} // namespace kalvor::gui
