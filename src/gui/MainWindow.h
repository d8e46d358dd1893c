#pragma once

#include "app/TAppSettings.h"
#include "editing/DeclarationViews.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QApplication;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace kalvor::gui {

class HelpCommands;
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
    QWidget *Panel11 = nullptr;

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

    const QString &curDir() const { return m_curDir; }
    bool updateExit() const { return m_updateExit; }
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

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildPanels();
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
    bool m_periodConverted = false;
    bool m_showingPeriod = false; // selectors set by the program do not count as the user's choice
    std::unique_ptr<UpdateCommands> m_update;
    std::unique_ptr<HelpCommands> m_help;
    TableModel *m_invoiceModel = nullptr;
    TableModel *m_productionModel = nullptr;
    TableModel *m_transferModel = nullptr;
};

// Sets up the application (title, Russian standard buttons, wheel translation), shows the main window
// and runs the event loop.
int runDesktop(QApplication &app);

} // namespace kalvor::gui
