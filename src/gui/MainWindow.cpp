#include "gui/MainWindow.h"

#include "app/Deployment.h"
#include "app/PeriodNames.h"
#include "app/PeriodSwitch.h"
#include "app/RequisitesLine.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "app/Workspace.h"
#include "app/WorkspaceLock.h"
#include "editing/DeclarationSearch.h"
#include "gui/AppIcon.h"
#include "gui/DesktopLock.h"
#include "gui/EssentialForm.h"
#include "gui/FirstStartDialogs.h"
#include "gui/HelpCommands.h"
#include "gui/MaintenanceCommands.h"
#include "gui/RefBookCommands.h"
#include "gui/RussianTranslations.h"
#include "gui/UpdateCommands.h"
#include "gui/WheelTranslator.h"
#include "gui/common/ActionIcons.h"
#include "gui/common/GridColumns.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/PeriodSelectors.h"
#include "gui/common/TableModel.h"
#include "gui/dbupload/DatabaseCommands.h"
#include "gui/reports/ReportCommands.h"
#include "gui/editing/EditingCommands.h"
#include "gui/period/NextMonthCommands.h"
#include "gui/period/OutsideReportNotice.h"
#include "gui/period/PeriodCommands.h"
#include "gui/sheets/PrintCommands.h"
#include "gui/sheets/CalcCommands.h"
#include "gui/sheets/SheetCommands.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

const QString kCaption = QStringLiteral("Декларация о розничной продаже алкогольной продукции  ");
const QColor kHighlightColour(0xFF, 0xCC, 0xCC);

QTableView *grid(const QString &name, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->verticalHeader()->setVisible(false);
    view->horizontalHeader()->setDefaultSectionSize(130);
    new GridColumns(view, view);
    return view;
}

// Every grid's columns fit what it shows now.
void fitGrids(const QWidget *window)
{
    for (GridColumns *columns : window->findChildren<GridColumns *>())
        columns->fit();
}

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// A grid under a header line, as each of the main window's panels shows it; `extra` goes to the right
// of the header text.
QWidget *titled(const QString &title, QWidget *content, QWidget *parent, QList<QWidget *> extra = {})
{
    auto *panel = new QWidget(parent);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(boldLabel(title, panel));
    header->addStretch();
    for (QWidget *widget : extra)
        header->addWidget(widget);
    layout->addLayout(header);
    layout->addWidget(content);
    return panel;
}

QToolButton *toolButton(const QString &name, QAction *action, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIconSize(QSize(20, 20));
    return button;
}

bool isUpOrDown(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
}

} // namespace

TMainForm::TMainForm(const QStringList &arguments, const QString &executableDir, QWidget *parent)
    : QMainWindow(parent), m_arguments(arguments), m_executableDir(executableDir)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaption);
    resize(1180, 760);
    buildCommands();
    buildMenus();
    buildPanels();
}

TMainForm::~TMainForm()
{
    // The grid models watch the views' tables: they must go before the views do.
    qDeleteAll(findChildren<TableModel *>());
}

void TMainForm::buildMenus()
{
    const auto action = [this](const QString &name, const QString &caption) {
        auto *a = new QAction(caption, this);
        a->setObjectName(name);
        return a;
    };
    ExitAction = action(QStringLiteral("ExitAction"), QStringLiteral("Выход"));
    EssentialAction = action(QStringLiteral("EssentialAction"), QStringLiteral("Реквизиты"));
    N30 = action(QStringLiteral("N30"), QStringLiteral("Руководство пользователя"));
    N31 = action(QStringLiteral("N31"), QStringLiteral("Порядок декларирования"));
    N32 = action(QStringLiteral("N32"), QStringLiteral("Постановление о внесении изменений"));
    HelpAction = action(QStringLiteral("HelpAction"), QStringLiteral("О программе.."));
    SendContractMailItem = action(QStringLiteral("SendContractMailItem"), QString());
    SendNonContractMailItem = action(QStringLiteral("SendNonContractMailItem"), QString());
    N24 = action(QStringLiteral("N24"), QStringLiteral("Краткая инструкция"));

    m_fileMenu = menuBar()->addMenu(QStringLiteral("Файл"));
    m_fileMenu->addAction(ExitAction);
    m_booksMenu = menuBar()->addMenu(QStringLiteral("Справочники"));
    m_booksMenu->addAction(EssentialAction);
    // Filled with the maintenance commands at start-up; "Отчеты" holds only service commands and is hidden.
    m_serviceMenu = menuBar()->addMenu(QStringLiteral("Сервис"));
    m_reportsMenu = menuBar()->addMenu(QStringLiteral("Отчеты"));
    m_reportsMenu->menuAction()->setVisible(false);
    QMenu *view = menuBar()->addMenu(QStringLiteral("Просмотр"));
    view->addAction(N15);
    QMenu *help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->addAction(N30);
    help->addAction(N31);
    help->addAction(N32);
    help->addSeparator();
    help->addAction(HelpAction);
    QMenu *mail = menuBar()->addMenu(QStringLiteral("Отправить на e-mail"));
    mail->addAction(SendContractMailItem);
    mail->addAction(SendNonContractMailItem);
    mail->addAction(N24);

    connect(ExitAction, &QAction::triggered, this, &TMainForm::ExitActionExecute);
    connect(EssentialAction, &QAction::triggered, this, &TMainForm::EssentialActionExecute);
}

void TMainForm::buildMaintenanceCommands()
{
    m_maintenance = std::make_unique<MaintenanceCommands>(
        *AppSettings, this, [this] { Views.close(); }, [this] { reopenViews(); });
    const MaintenanceCommands::Actions actions = m_maintenance->createActions(this);
    // "Уменьшить файл отчета", separator, "Удалить "пустые" данные", separator, then the hidden items.
    for (int i = 0; i < actions.service.size(); ++i) {
        if (i == 1 || i == 2)
            m_serviceMenu->addSeparator();
        m_serviceMenu->addAction(actions.service.at(i));
    }
    // "Конвертировать виды продукции", separator, then the hidden corrections.
    for (int i = 0; i < actions.reports.size(); ++i) {
        if (i == 1)
            m_reportsMenu->addSeparator();
        m_reportsMenu->addAction(actions.reports.at(i));
    }
    m_firstBulkCorrection = actions.reports.value(1);
    // Both hidden buttons stay out of sight; they only carry their commands.
    m_maintenance->createSpeedButton16(this)->hide();
    m_maintenance->createButtonChNakl(this)->hide();
}

void TMainForm::buildPeriodCommands()
{
    PeriodWindowHooks hooks;
    hooks.closeViews = [this] { Views.close(); };
    hooks.reopenViews = [this] { reopenViews(); };
    hooks.periodChanged = [this] { periodSwitched(); };
    hooks.showVersion = [this](const QString &text) { lblVersion->setText(text); };
    hooks.positionsView = [this] { return Views.isOpen() ? &Views.ClientDataSetProduction : nullptr; };
    hooks.reportObjects = [this] { m_reports->ReportObjectsExecute(); };
    m_period = std::make_unique<PeriodCommands>(*AppSettings, this, std::move(hooks));
    PeriodCommands &p = *m_period;
    p.createActions(this);

    // "Сервис" starts with the export, then a separator before the file rewrites.
    QAction *firstService = m_serviceMenu->actions().value(0);
    m_serviceMenu->insertAction(firstService, p.ExportToXMLAction);
    m_serviceMenu->insertSeparator(firstService);
    // The reconciliation leads the hidden service items of "Отчеты".
    m_reportsMenu->insertAction(m_firstBulkCorrection, p.N18);

    // The report buttons lead the tool row.
    int at = 0;
    const auto place = [this, &at](const QString &name, QAction *action, bool visible) {
        QToolButton *b = toolButton(name, action, this);
        b->setVisible(visible);
        m_toolLayout->insertWidget(at++, b);
        return b;
    };
    place(QStringLiteral("SpeedButton1"), p.LoadAccountAction, true);
    place(QStringLiteral("SpeedButton11"), p.LoadAddDeclarationAction, true);
    place(QStringLiteral("SpeedButtonExport"), p.ExportToXMLAction, true);
    place(QStringLiteral("SpeedButton10"), p.ImportToDBAction, true)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    place(QStringLiteral("SpeedButton17"), p.UpDate, false)->setToolButtonStyle(Qt::ToolButtonTextOnly);
    place(QStringLiteral("BtnDelErrors"), p.BtnDelErrors, false)->setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void TMainForm::buildSheetCommands()
{
    SheetWindowHooks hooks;
    hooks.periodText = [this] {
        if (!AppSettings || AppSettings->FPeriodMonth < 1 || AppSettings->FPeriodMonth > 12)
            return QString();
        return monthNames().at(AppSettings->FPeriodMonth - 1) + u' ' + yearText(AppSettings->FPeriodYear);
    };
    hooks.highlightOptions = [this] { return highlightOptions(); };
    hooks.setHighlightOptions = [this](const HighlightOptions &o) {
        CheckErrors = o.CheckErrors;
        Chk_rest = o.Chk_rest;
        Chk_empty = o.Chk_empty;
        Chk_TTN_DATE = o.Chk_TTN_DATE;
        Chk_Production_Code = o.Chk_Production_Code;
        Chk_vodka = o.Chk_vodka;
        Chk_Koniyak = o.Chk_Koniyak;
        repaintGrids();
    };
    hooks.printErrorReport = [this](const sheets::ErrorReportOptions &options, bool pdf) {
        if (pdf)
            m_print->savePdf(options);
        else
            m_print->preview(options);
    };
    m_print = std::make_unique<PrintCommands>(*AppSettings, this, hooks.periodText);
    m_print->createActions(this);
    // "Файл": the declaration on paper, then "Выход".
    m_fileMenu->insertAction(ExitAction, m_print->PrintAction);
    m_fileMenu->insertAction(ExitAction, m_print->SavePdfAction);
    m_fileMenu->insertSeparator(ExitAction);
    m_sheets = std::make_unique<SheetCommands>(*AppSettings, this, std::move(hooks));
    m_sheets->createActions(this);
    // "Сервис": the export to files, then the workbook.
    const QList<QAction *> service = m_serviceMenu->actions();
    m_serviceMenu->insertAction(service.value(1), m_sheets->ExportToXLSAction);
    const int at = m_toolLayout->indexOf(findChild<QToolButton *>(QStringLiteral("SpeedButtonExport"))) + 1;
    SpeedButton13 = toolButton(QStringLiteral("SpeedButton13"), m_sheets->ExportToXLSAction, this);
    m_toolLayout->insertWidget(at, SpeedButton13);
    SpeedButton21 = toolButton(QStringLiteral("SpeedButton21"), m_sheets->ReportErrorSetting, this);
    SpeedButton21->hide();
    m_toolLayout->insertWidget(at + 1, SpeedButton21);
}

void TMainForm::buildDatabaseCommands()
{
    m_database = std::make_unique<DatabaseCommands>(*AppSettings, this, locateShareDir(m_executableDir));
    m_database->createActions(this, this);
    // The batch upload leads the hidden "Сервис" items; the two upload buttons follow SpeedButton10.
    m_serviceMenu->insertAction(findChild<QAction *>(QStringLiteral("dkey1")), m_database->N37);
    const int at = m_toolLayout->indexOf(findChild<QToolButton *>(QStringLiteral("SpeedButton10"))) + 1;
    m_toolLayout->insertWidget(at, m_database->SpeedButton14);
    m_toolLayout->insertWidget(at + 1, m_database->SpeedButton15);
}

void TMainForm::buildNextMonthCommands()
{
    m_nextMonth = std::make_unique<NextMonthCommands>(*AppSettings, this);
    m_nextMonth->createActions(this);
    // "Сервис": the update of the next month follows the exports.
    const QList<QAction *> service = m_serviceMenu->actions();
    m_serviceMenu->insertAction(service.value(2), m_nextMonth->UpdateNextMonthAction);
    // Its note stands in the period line before the requisites, and so does the note of a report opened
    // from an outside folder.
    auto *line = qobject_cast<QHBoxLayout *>(Essential->parentWidget()->layout());
    // The requisites line gives way to the notes (it is cut at the window's edge anyway).
    Essential->setMinimumWidth(80);
    line->insertWidget(line->indexOf(Essential), m_nextMonth->createNotice(Essential->parentWidget()));
    m_outsideNotice = new OutsideReportNotice(Essential->parentWidget());
    line->insertWidget(line->indexOf(Essential), m_outsideNotice);
    connect(m_outsideNotice, &OutsideReportNotice::backRequested, this, &TMainForm::returnToWorkspace);
}

void TMainForm::followPeriodNotes()
{
    m_nextMonth->periodChanged();
    const QString outside = m_outsideNotice->follow(*AppSettings);
    setWindowTitle(m_caption + (outside.isEmpty() ? QString()
                                                  : QStringLiteral(" — отчет из папки ") +
                                                        QDir::toNativeSeparators(outside)));
}

void TMainForm::returnToWorkspace()
{
    Views.close();
    try {
        const StartupResult result = runNormalStart(*AppSettings);
        Essential->setText(result.requisitesLine);
        lblVersion->setText(QStringLiteral("Версия неизвестна"));
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
    periodSwitched();
    startViews();
}

void TMainForm::buildReportCommands()
{
    m_reports = std::make_unique<ReportCommands>(*AppSettings, this, locateShareDir(m_executableDir));
    // The reports lead "Отчеты", before "Конвертировать виды продукции".
    QAction *first = m_reportsMenu->actions().value(0);
    for (QAction *action : m_reports->createActions(this)) {
        if (action)
            m_reportsMenu->insertAction(first, action);
        else
            m_reportsMenu->insertSeparator(first);
    }
}

void TMainForm::buildCalcCommands()
{
    m_calc = std::make_unique<CalcCommands>(
        *AppSettings, this, [this] { return ComboBoxMonth->currentText() + u' ' + ComboBoxYear->currentText(); });
    m_calc->createActions(this);
    // "Выгрузить в Calc" follows "Выгрузить в Excel".
    const QList<QAction *> service = m_serviceMenu->actions();
    m_serviceMenu->insertAction(service.value(service.indexOf(m_sheets->ExportToXLSAction) + 1),
                                m_calc->ExportToXLSActionOO);
    SpeedButton19 = toolButton(QStringLiteral("SpeedButton19"), m_calc->ExportToXLSActionOO, this);
    m_toolLayout->insertWidget(m_toolLayout->indexOf(SpeedButton13) + 1, SpeedButton19);
}

void TMainForm::periodSwitched()
{
    if (!AppSettings)
        return;
    showCurrentPeriod();
    Essential->setText(requisitesLine(AppSettings->Fkalvor));
    m_periodConverted = isPeriodConverted(AppSettings->FIniFile, AppSettings->FPeriodString);
    m_maintenance->periodChanged(m_periodConverted);
    followPeriodNotes();
}

QWidget *TMainForm::buildPeriodLine()
{
    auto *line = new QWidget(this);
    line->setObjectName(QStringLiteral("PeriodPanel"));
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Декларация за"), line));
    ComboBoxMonth = monthSelector(line);
    ComboBoxMonth->setObjectName(QStringLiteral("ComboBoxMonth"));
    // The configured period's year joins the list when the period is shown.
    ComboBoxYear = yearSelector(-1, line);
    ComboBoxYear->setObjectName(QStringLiteral("ComboBoxYear"));
    ComboBoxMonth->setMinimumWidth(110);
    layout->addWidget(ComboBoxMonth);
    layout->addWidget(new QLabel(QStringLiteral("месяц"), line));
    layout->addWidget(ComboBoxYear);
    layout->addWidget(new QLabel(QStringLiteral("год"), line));
    BtnPeriodDel = new QToolButton(line);
    BtnPeriodDel->setObjectName(QStringLiteral("BtnPeriodDel"));
    BtnPeriodDel->setText(QStringLiteral("<"));
    BtnPeriodDel->setToolTip(QStringLiteral("перейти в предыдущий отчетный период"));
    BtnPeriodAdd = new QToolButton(line);
    BtnPeriodAdd->setObjectName(QStringLiteral("BtnPeriodAdd"));
    BtnPeriodAdd->setText(QStringLiteral(">"));
    BtnPeriodAdd->setToolTip(QStringLiteral("перейти в следующий отчетный период"));
    layout->addWidget(BtnPeriodDel);
    layout->addWidget(BtnPeriodAdd);
    Button1 = new QPushButton(QStringLiteral("Обновить"), line);
    Button1->setObjectName(QStringLiteral("Button1"));
    layout->addWidget(Button1);
    Essential = new QLabel(line);
    Essential->setObjectName(QStringLiteral("Essential"));
    layout->addWidget(Essential, 1);
    lblVersion = new QLabel(QStringLiteral("Версия неизвестна"), line);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->hide();
    Memo1 = new QPlainTextEdit(line);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->hide();

    // Picking in either selector tries the period at once.
    connect(ComboBoxMonth, &QComboBox::currentIndexChanged, this, &TMainForm::ComboBoxYearChange);
    connect(ComboBoxYear, &QComboBox::currentIndexChanged, this, &TMainForm::ComboBoxYearChange);
    connect(BtnPeriodAdd, &QToolButton::clicked, this, &TMainForm::BtnPeriodAddClick);
    connect(BtnPeriodDel, &QToolButton::clicked, this, &TMainForm::BtnPeriodDelClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    return line;
}

void TMainForm::buildCommands()
{
    EditingWindowHooks hooks;
    hooks.settings = [this] { return AppSettings.get(); };
    hooks.reopenViews = [this](const ViewCursor &at) { return reopenViews(at); };
    hooks.declarationMonth = [this] { return declarationMonth(); };
    m_editing = std::make_unique<EditingCommands>(Views, this, std::move(hooks));
    m_editing->createActions(this);
    N15 = new QAction(QStringLiteral("Приход/Расход за отч. период"), this);
    N15->setObjectName(QStringLiteral("N15"));
    N15->setCheckable(true);

    connect(N15, &QAction::triggered, this, &TMainForm::N15Click);
}

QWidget *TMainForm::buildToolRow()
{
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("ToolPanel"));
    auto *layout = new QHBoxLayout(row);
    m_toolLayout = layout;
    layout->setContentsMargins(4, 2, 4, 0);
    layout->setSpacing(1);
    const auto group = [row, layout](const QString &caption) {
        layout->addSpacing(10);
        auto *label = new QLabel(caption, row);
        label->setEnabled(false);
        layout->addWidget(label);
        return label;
    };
    const auto button = [row, layout](const QString &name, QAction *action) {
        QToolButton *b = toolButton(name, action, row);
        layout->addWidget(b);
        return b;
    };
    group(QStringLiteral("Накладная:"));
    SpeedButtonAddInvoice = button(QStringLiteral("SpeedButtonAddInvoice"), m_editing->AddInvoiceAction);
    SpeedButton3 = button(QStringLiteral("SpeedButton3"), m_editing->EditInvoiceAction);
    SpeedButton4 = button(QStringLiteral("SpeedButton4"), m_editing->DeleteInvoiceAction);
    group(QStringLiteral("Продукция:"));
    SpeedButton6 = button(QStringLiteral("SpeedButton6"), m_editing->AddProductionAction);
    SpeedButton7 = button(QStringLiteral("SpeedButton7"), m_editing->EditProductionAction);
    SpeedButton5 = button(QStringLiteral("SpeedButton5"), m_editing->DeleteProductionAction);
    SpeedButton12 = button(QStringLiteral("SpeedButton12"), m_editing->CopyProductionAction);
    group(QStringLiteral("Перемещение:"));
    SpeedButton2 = button(QStringLiteral("SpeedButton2"), m_editing->AddInnerTransferAction);
    SpeedButton8 = button(QStringLiteral("SpeedButton8"), m_editing->EditInnerTransferAction);
    SpeedButton9 = button(QStringLiteral("SpeedButton9"), m_editing->DeleteInnerTransferAction);

    // The service searches: hidden unless tamrel.ini says otherwise ([service] show_hidden=1).
    layout->addSpacing(16);
    auto *negative = new QAction(actionIcon(ActionIcon::Warning),
                                 QStringLiteral("Найти отрицательные остатки"), this);
    negative->setObjectName(QStringLiteral("SpeedButton20Action"));
    SpeedButton20 = toolButton(QStringLiteral("SpeedButton20"), negative, row);
    SpeedButton20->hide();
    ComboBoxSearch = new QComboBox(row);
    ComboBoxSearch->setObjectName(QStringLiteral("ComboBoxSearch"));
    ComboBoxSearch->addItems({QStringLiteral("водка <"), QStringLiteral("коньяк <")});
    ComboBoxSearch->hide();
    EditSearch = new QLineEdit(QStringLiteral("77"), row);
    EditSearch->setObjectName(QStringLiteral("EditSearch"));
    EditSearch->setMaximumWidth(70);
    EditSearch->hide();
    ButtonSearch = new QPushButton(QStringLiteral("поиск"), row);
    ButtonSearch->setObjectName(QStringLiteral("ButtonSearch"));
    ButtonSearch->hide();
    layout->addWidget(SpeedButton20);
    layout->addWidget(ComboBoxSearch);
    layout->addWidget(EditSearch);
    layout->addWidget(ButtonSearch);
    layout->addStretch();
    connect(negative, &QAction::triggered, this, &TMainForm::SpeedButton20Click);
    connect(ButtonSearch, &QPushButton::clicked, this, &TMainForm::ButtonSearchClick);
    return row;
}

QWidget *TMainForm::buildChargesPanel()
{
    Panel11 = new QWidget(this);
    Panel11->setObjectName(QStringLiteral("Panel11"));
    auto *layout = new QHBoxLayout(Panel11);
    layout->setContentsMargins(2, 2, 2, 2);

    const auto half = [this, layout](const QString &title, QLabel *&desc, QTabWidget *&pages, const QString &name) {
        auto *box = new QWidget(Panel11);
        auto *boxLayout = new QVBoxLayout(box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        boxLayout->setSpacing(2);
        auto *header = new QHBoxLayout;
        header->addWidget(boldLabel(title, box));
        desc = new QLabel(box);
        desc->setObjectName(name + QStringLiteral("Label"));
        header->addWidget(desc);
        header->addStretch();
        boxLayout->addLayout(header);
        pages = new QTabWidget(box);
        pages->setObjectName(name + QStringLiteral("PageControl"));
        boxLayout->addWidget(pages);
        layout->addWidget(box, 1);
    };
    half(QStringLiteral("Приход за отчетный период"), DescComingLabel, ComingPageControl, QStringLiteral("DescComing"));
    half(QStringLiteral("Расход за отчетный период"), DescChargesLabel, ChargesPageControl,
         QStringLiteral("DescCharges"));
    DescComingLabel->setObjectName(QStringLiteral("DescComingLabel"));
    DescChargesLabel->setObjectName(QStringLiteral("DescChargesLabel"));
    ComingPageControl->setObjectName(QStringLiteral("ComingPageControl"));
    ChargesPageControl->setObjectName(QStringLiteral("ChargesPageControl"));

    const auto page = [this](QTabWidget *pages, const QString &caption, const QString &gridName,
                             const QList<TableModel::Column> &columns) {
        QTableView *view = grid(gridName, pages);
        view->setMinimumHeight(60);
        auto *charges = new TableModel(Views.ClientDataSetCommingCharges, columns, this);
        auto *transfers = new TableModel(Views.ClientDataSetTransfer, columns, this);
        view->setModel(charges);
        m_panelGrids.push_back({view, charges, transfers});
        pages->addTab(view, caption);
        return view;
    };
    const auto col = [](const char16_t *field, const char16_t *caption) {
        return TableModel::Column{QString::fromUtf16(field), QString::fromUtf16(caption)};
    };
    DBGridSupplier = page(ComingPageControl, QStringLiteral("От Поставщика"), QStringLiteral("DBGridSupplier"),
                          {col(u"alcohol", u"Содержание спирта (%)"), col(u"package_volume", u"Емкость тары (л.)"),
                           col(u"package_count", u"Количество тары (шт.)"), col(u"volume", u"Объем (л.)"),
                           col(u"purches_price", u"Цена закупки (руб.)"), col(u"sum_coming", u"Сумма (тыс.руб.)")});
    DBGridByerReturn = page(ComingPageControl, QStringLiteral("Возврат покупателя"), QStringLiteral("DBGridByerReturn"),
                            {col(u"return_volume", u"Возврат покупателя (литров)")});
    TabSheetByerReturn = DBGridByerReturn;
    DBGridMarkup = page(ChargesPageControl, QStringLiteral("Розн. продажа"), QStringLiteral("DBGridMarkup"),
                        {col(u"markup", u"Розничная продажа (руб.)")});
    DBGridInnerTransfer =
        page(ChargesPageControl, QStringLiteral("Внутреннее перемещение"), QStringLiteral("DBGridInnerTransfer"),
             {col(u"other_charges", u"Прочий расход (литров)"),
              col(u"department_code_inner_charges", u"Код обособленного подразделения")});
    TabSheetInnerCharges = DBGridInnerTransfer;
    DBGridWriteoff = page(ChargesPageControl, QStringLiteral("Списание"), QStringLiteral("DBGridWriteoff"),
                          {col(u"writeoff_volume_charges", u"Списание (литров)")});
    DBGridSupplierReturn =
        page(ChargesPageControl, QStringLiteral("Возврат поставщику"), QStringLiteral("DBGridSupplierReturn"),
             {col(u"return_volume_charges", u"Возврат поставщику (литров)")});
    Panel11->setMaximumHeight(170);
    Panel11->hide();
    connect(ComingPageControl, &QTabWidget::currentChanged, this, &TMainForm::ComingPageControlChange);
    return Panel11;
}

void TMainForm::buildPanels()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildToolRow());
    layout->addWidget(buildPeriodLine());

    DBGridInvoice = grid(QStringLiteral("DBGridInvoice"), central);
    DBGridProduction = grid(QStringLiteral("DBGridProduction"), central);
    DBGridInner = grid(QStringLiteral("DBGridInner"), central);
    m_invoiceModel = new TableModel(Views.ClientDataSetInvoice,
                                    {{QStringLiteral("supply_name"), QStringLiteral("Поставщик")},
                                     {QStringLiteral("license"), QStringLiteral("Лицензия (серия, номер)")},
                                     {QStringLiteral("license_date"), QStringLiteral("Дата получения лицензии")},
                                     {QStringLiteral("ttn_numer"), QStringLiteral("Номер ТТН")},
                                     {QStringLiteral("ttn_date"), QStringLiteral("Дата ТТН")},
                                     {QStringLiteral("loading_address"), QStringLiteral("Адрес погрузки")}},
                                    this);
    m_productionModel =
        new TableModel(Views.ClientDataSetProduction,
                       {{QStringLiteral("production_name"), QStringLiteral("Наименование")},
                        {QStringLiteral("production_number"), QStringLiteral("Дата изготовления")},
                        {QStringLiteral("production_code"), QStringLiteral("Код вида")},
                        {QStringLiteral("producer_name"), QStringLiteral("Производитель")},
                        {QStringLiteral("region_code"), QStringLiteral("Код субъекта РФ")},
                        {QStringLiteral("department_code"), QStringLiteral("Код обособ. подразделения")},
                        {QStringLiteral("rest"), QStringLiteral("Остатки")}},
                       this);
    m_transferModel = new TableModel(
        Views.ClientDataSetTransfer,
        {{QStringLiteral("department_code"), QStringLiteral("Код обособленного подразделения")},
         {QStringLiteral("other_coming"), QStringLiteral("Прочий приход")},
         {QStringLiteral("department_code_inner"), QStringLiteral("Код обособленного подразделения (откуда)")},
         {QStringLiteral("rest"), QStringLiteral("Остатки")}},
        this);
    m_invoiceModel->setHighlight(
        [this](const RowView &row, const QString &field) {
            return highlightInvoiceCell(row, field, highlightOptions(), declarationMonth());
        },
        kHighlightColour);
    m_productionModel->setHighlight(
        [this](const RowView &row, const QString &field) {
            return highlightProductionCell(row, field, highlightOptions());
        },
        kHighlightColour);
    m_transferModel->setHighlight(
        [this](const RowView &row, const QString &field) {
            return highlightTransferCell(row, field, highlightOptions());
        },
        kHighlightColour);
    DBGridInvoice->setModel(m_invoiceModel);
    DBGridProduction->setModel(m_productionModel);
    // The columns a user looks for first come first on the screen (the models keep their order): the
    // waybill's number and date after the supplier, the remains after the product's name.
    DBGridInvoice->horizontalHeader()->moveSection(3, 1);
    DBGridInvoice->horizontalHeader()->moveSection(4, 2);
    DBGridProduction->horizontalHeader()->moveSection(6, 1);
    DBGridInner->setModel(m_transferModel);
    DBGridInner->horizontalHeader()->setStretchLastSection(true);

    Edit1 = new QLineEdit(central);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setPlaceholderText(QStringLiteral("Номер ТТН"));
    Edit1->setMaximumWidth(140);
    SpeedButton18 = new QToolButton(central);
    SpeedButton18->setObjectName(QStringLiteral("SpeedButton18"));
    SpeedButton18->setIcon(actionIcon(ActionIcon::Search));
    SpeedButton18->setToolTip(QStringLiteral("Найти накладную"));
    SpeedButton18->setAutoRaise(true);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->addWidget(titled(QStringLiteral("Накладные"), DBGridInvoice, splitter, {Edit1, SpeedButton18}));
    splitter->addWidget(titled(QStringLiteral("Продукция"), DBGridProduction, splitter));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 3);

    Panel17 = titled(QStringLiteral("Внутренние перемещения по текущей продукции"), DBGridInner, central);
    Panel17->setObjectName(QStringLiteral("Panel17"));
    layout->addWidget(Panel17, 1);
    // Below the transfers: the coming/charges panel, when shown.
    layout->addWidget(buildChargesPanel());
    setCentralWidget(central);

    // A selection in one grid filters the grids that depend on it: a click, the arrow keys and the
    // wheel all move the current row.
    connect(DBGridInvoice->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMainForm::DBGridInvoiceCellClick);
    connect(DBGridProduction->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMainForm::DBGridProductionCellClick);
    connect(DBGridInner->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TMainForm::DBGridInnerKeyUp);
    for (QTableView *view : {DBGridInvoice, DBGridProduction, DBGridInner})
        view->installEventFilter(this);
    connect(SpeedButton18, &QToolButton::clicked, this, &TMainForm::SpeedButton18Click);
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { Edit1KeyDown(Qt::Key_Return); });
}

void TMainForm::FormCreate()
{
    m_updateExit = false;
    AppSettings = std::make_unique<TAppSettings>();
    m_refBooks = std::make_unique<RefBookCommands>(*AppSettings, this);
    m_booksMenu->addActions(m_refBooks->createActions(this));
    buildMaintenanceCommands();
    buildPeriodCommands();
    buildSheetCommands();
    buildDatabaseCommands();
    buildNextMonthCommands();
    // After the next month's update, so that "Выгрузить в Calc" lands right after "Выгрузить в Excel".
    buildCalcCommands();
    buildReportCommands();
    const QString version = versionText();
    m_caption = kCaption + QStringLiteral("(версия ") + version + u')';
    setWindowTitle(m_caption);
    try {
        m_curDir = prepareWorkspace(m_arguments, m_executableDir);
        const Deployment deployment = loadDeployment(m_curDir, locateShareDir(m_executableDir));
        m_update = std::make_unique<UpdateCommands>(m_curDir, updateNoticeUrl(deployment),
                                                    updaterProgram(deployment, m_executableDir), this, Memo1);
        connect(m_update.get(), &UpdateCommands::exitRequested, this, [this] {
            m_updateExit = true;
            close();
        });
        m_update->fetchAtStartup();
        m_help = std::make_unique<HelpCommands>(*AppSettings, deployment, this);
        SendContractMailItem->setText(m_help->contractMailItemCaption());
        SendNonContractMailItem->setText(m_help->nonContractMailItemCaption());
        connect(N30, &QAction::triggered, m_help.get(), &HelpCommands::N30Click);
        connect(N31, &QAction::triggered, m_help.get(), &HelpCommands::N31Click);
        connect(N32, &QAction::triggered, m_help.get(), &HelpCommands::N32Click);
        connect(HelpAction, &QAction::triggered, m_help.get(), &HelpCommands::HelpActionExecute);
        connect(SendContractMailItem, &QAction::triggered, m_help.get(), &HelpCommands::SendContractMailItemClick);
        connect(SendNonContractMailItem, &QAction::triggered, m_help.get(),
                &HelpCommands::SendNonContractMailItemClick);
        connect(N24, &QAction::triggered, m_help.get(), &HelpCommands::N24Click);

        openConfiguration(*AppSettings, m_curDir);
        for (GridColumns *columns : findChildren<GridColumns *>())
            columns->setIniFile(&AppSettings->FIniFile);
        StartupResult result;
        bool firstStart = false;
        if (isFirstStart(*AppSettings)) {
            const PeriodChoice period = askFirstPeriod(this);
            std::optional<StartupResult> made;
            if (period.complete())
                made = runFirstStart(*AppSettings, period, requisitesEditorDialog(this));
            if (!made) {
                // Nothing was written: the next start asks again.
                m_setupDeclined = true;
                MessageBoxes::information(this, QString::fromUtf8(kSetupDeclinedMessage));
                return;
            }
            result = *made;
            firstStart = true;
        } else {
            result = runNormalStart(*AppSettings);
        }
        showCurrentPeriod();
        Essential->setText(result.requisitesLine);
        m_periodConverted = result.converted;
        m_maintenance->periodChanged(m_periodConverted);
        followPeriodNotes();
        applyServiceOptions();
        startViews();
        // A new filer enters the subdivisions at once.
        if (firstStart)
            m_refBooks->DepartmentCodeActionExecute();
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    } catch (const std::exception &e) {
        MessageBoxes::error(this, QString::fromLocal8Bit(e.what()));
    }
    CheckErrors = Chk_rest = Chk_empty = Chk_TTN_DATE = Chk_Production_Code = Chk_vodka = Chk_Koniyak = true;
}

void TMainForm::startViews()
{
    reopenViews();
}

void TMainForm::applyServiceOptions()
{
    // A service setting of the authority's operator: shows the hidden searches and the error checks.
    const bool show =
        AppSettings->FIniFile.readString(QStringLiteral("service"), QStringLiteral("show_hidden")).trimmed() == u"1";
    for (QWidget *w : {static_cast<QWidget *>(SpeedButton20), static_cast<QWidget *>(ComboBoxSearch),
                       static_cast<QWidget *>(EditSearch), static_cast<QWidget *>(ButtonSearch),
                       static_cast<QWidget *>(SpeedButton21)})
        w->setVisible(show);
    m_database->setServiceVisible(show);
    m_reportsMenu->menuAction()->setVisible(show);
}

bool TMainForm::reopenViews(const ViewCursor &at)
{
    if (!AppSettings)
        return false;
    try {
        Views.reopen(AppSettings->FDeclarationFileName, at);
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
        showViews(true, true);
        return false;
    }
    showViews(true, true);
    // Rows may have come or gone: the columns fit again (the widths the user set stay).
    fitGrids(this);
    return true;
}

void TMainForm::showViews(bool positionViewOpened, bool transferViewOpened)
{
    m_syncing = true;
    const auto follow = [](QTableView *view, const Table &table) {
        const int row = table.isActive() ? table.recNo() - 1 : -1;
        if (row >= 0) {
            view->setCurrentIndex(view->model()->index(row, std::max(0, view->currentIndex().column())));
            view->scrollTo(view->currentIndex());
        } else {
            view->setCurrentIndex({});
        }
    };
    follow(DBGridInvoice, Views.ClientDataSetInvoice);
    follow(DBGridProduction, Views.ClientDataSetProduction);
    follow(DBGridInner, Views.ClientDataSetTransfer);
    m_syncing = false;

    m_editing->viewsShown(positionViewOpened, transferViewOpened);
}

bool TMainForm::chargesVisible() const
{
    return !Panel11->isHidden();
}

HighlightOptions TMainForm::highlightOptions() const
{
    return {CheckErrors, Chk_rest, Chk_empty, Chk_TTN_DATE, Chk_Production_Code, Chk_vodka, Chk_Koniyak};
}

DeclarationMonth TMainForm::declarationMonth() const
{
    // The settings' period, never the selectors': they may hold a choice still being tried.
    DeclarationMonth result;
    if (AppSettings && AppSettings->FPeriodMonth >= 1) {
        result.year = 2000 + AppSettings->FPeriodYear;
        result.month = AppSettings->FPeriodMonth;
    }
    return result;
}

void TMainForm::repaintGrids()
{
    for (TableModel *model : {m_invoiceModel, m_productionModel, m_transferModel})
        model->refresh();
    showViews(false, false);
}

void TMainForm::showPeriod(int month, int year)
{
    m_showingPeriod = true;
    ComboBoxMonth->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : -1);
    selectYear(ComboBoxYear, year);
    m_showingPeriod = false;
}

void TMainForm::showCurrentPeriod()
{
    if (AppSettings)
        showPeriod(AppSettings->FPeriodMonth, AppSettings->FPeriodYear);
}

void TMainForm::ComboBoxYearChange()
{
    if (m_showingPeriod || !AppSettings)
        return;
    GetNewPeriod(selectedYear(ComboBoxYear), ComboBoxMonth->currentIndex() + 1);
}

void TMainForm::stepPeriod(int direction)
{
    BtnPeriodAdd->setEnabled(false);
    BtnPeriodDel->setEnabled(false);
    // From the settings' period: the selectors show it, and a step works across every year.
    const int month = AppSettings ? AppSettings->FPeriodMonth : ComboBoxMonth->currentIndex() + 1;
    const int year = AppSettings ? AppSettings->FPeriodYear : selectedYear(ComboBoxYear);
    const auto [newYear, newMonth] = direction > 0 ? nextPeriod(year, month) : previousPeriod(year, month);
    showPeriod(newMonth, newYear);
    GetNewPeriod(newYear, newMonth);
    BtnPeriodAdd->setEnabled(true);
    BtnPeriodDel->setEnabled(true);
}

void TMainForm::BtnPeriodAddClick()
{
    stepPeriod(+1);
}

void TMainForm::BtnPeriodDelClick()
{
    stepPeriod(-1);
}

void TMainForm::GetNewPeriod(int tmpPeriodYear, int tmpPeriodMonth)
{
    if (!AppSettings)
        return;
    const auto files = findPeriodFiles(m_curDir, tmpPeriodYear, tmpPeriodMonth);
    if (!files) {
        MessageBoxes::information(this, QString::fromUtf8(kPeriodNotFoundMessage));
        showCurrentPeriod();
        return;
    }
    m_periodConverted = applyPeriod(*AppSettings, tmpPeriodYear, tmpPeriodMonth, *files);
    m_maintenance->periodChanged(m_periodConverted);
    followPeriodNotes();
    try {
        startViews();
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
}

bool TMainForm::followGrid(QTableView *grid, Table &view)
{
    const QModelIndex current = grid->currentIndex();
    if (m_syncing || !Views.isOpen() || !current.isValid())
        return false;
    view.setRecNo(current.row() + 1);
    return true;
}

void TMainForm::DBGridInvoiceCellClick()
{
    if (!followGrid(DBGridInvoice, Views.ClientDataSetInvoice))
        return;
    Views.invoiceSelected(chargesVisible());
    showViews(true, true);
}

void TMainForm::DBGridProductionCellClick()
{
    if (!followGrid(DBGridProduction, Views.ClientDataSetProduction))
        return;
    Views.positionSelected(chargesVisible());
    showViews(false, true);
}

void TMainForm::DBGridInnerKeyUp()
{
    if (followGrid(DBGridInner, Views.ClientDataSetTransfer) && chargesVisible())
        Views.chargesSelected();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGridInvoice || watched == DBGridProduction || watched == DBGridInner) {
        if (event->type() == QEvent::FocusIn) {
            if (watched == DBGridInner)
                DBGridInnerEnter();
            else if (watched == DBGridProduction)
                DBGridProductionEnter();
            else
                DBGridInvoiceEnter();
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat() && !isUpOrDown(key)) {
                // Insert adds, Delete deletes while its tool button is enabled.
                QAction *add = watched == DBGridInvoice      ? m_editing->AddInvoiceAction
                               : watched == DBGridProduction ? m_editing->AddProductionAction
                                                             : m_editing->AddInnerTransferAction;
                QAction *remove = watched == DBGridInvoice      ? m_editing->DeleteInvoiceAction
                                  : watched == DBGridProduction ? m_editing->DeleteProductionAction
                                                                : m_editing->DeleteInnerTransferAction;
                if (key->key() == Qt::Key_Insert && add->isEnabled())
                    add->trigger();
                else if (key->key() == Qt::Key_Delete && remove->isEnabled())
                    remove->trigger();
                else if (key->key() == Qt::Key_Delete)
                    // A refused delete says why instead of doing nothing.
                    statusBar()->showMessage(m_editing->deleteUnavailableReason(remove), 10000);
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::setPanelSource(bool transfers, bool chargesOnly)
{
    for (std::size_t i = chargesOnly ? 2 : 0; i < m_panelGrids.size(); ++i) {
        const PanelGrid &panel = m_panelGrids[i];
        TableModel *model = transfers ? panel.transfers : panel.charges;
        if (panel.grid->model() != model)
            panel.grid->setModel(model);
    }
}

void TMainForm::showPanelFor(bool transfers)
{
    setPanelSource(transfers, false);
    // A transfer has no buyer returns and no inner charges of its own.
    ComingPageControl->setTabVisible(ComingPageControl->indexOf(TabSheetByerReturn), !transfers);
    ChargesPageControl->setTabVisible(ChargesPageControl->indexOf(TabSheetInnerCharges), !transfers);
    const QString mark = transfers ? QStringLiteral("(внутр.)") : QString();
    DescComingLabel->setText(mark);
    DescChargesLabel->setText(mark);
}

void TMainForm::DBGridInnerEnter()
{
    showPanelFor(true);
}

void TMainForm::DBGridProductionEnter()
{
    showPanelFor(false);
}

void TMainForm::DBGridInvoiceEnter()
{
    DBGridProductionEnter();
}

void TMainForm::ComingPageControlChange(int index)
{
    // The buyer-return page looks at the transfers' charges on the right.
    setPanelSource(index == 1, true);
}

void TMainForm::N15Click()
{
    if (chargesVisible()) {
        Panel11->hide();
    } else {
        Panel11->show();
        Views.chargesSelected();
    }
    N15->setChecked(chargesVisible());
}

void TMainForm::Edit1KeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        SpeedButton18Click();
}

void TMainForm::SpeedButton18Click()
{
    const QString number = Edit1->text();
    if (number.isEmpty()) {
        MessageBoxes::information(this, QString::fromUtf8(search::kEnterWaybillMessage));
        return;
    }
    if (!Views.isOpen())
        return;
    const int found = search::findInvoiceByWaybill(Views.ClientDataSetInvoice, number);
    Views.ClientDataSetInvoice.setRecNo(found < 0 ? 1 : found + 1);
    if (found < 0)
        MessageBoxes::information(this, search::waybillNotFoundMessage(number));
    Views.invoiceSelected(chargesVisible());
    showViews(true, true);
}

void TMainForm::SpeedButton20Click()
{
    if (!AppSettings || !Views.isOpen())
        return;
    const ViewCursor at = Views.cursor();
    search::NegativeRestStep step;
    try {
        Views.close();
        Table rows(AppSettings->FDeclarationFileName);
        rows.setIndexFieldNames(QStringLiteral("dkey"));
        rows.open();
        step = search::nextNegativeRest(rows, dkeySearchGlobal);
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
        reopenViews(at);
        return;
    }
    if (step.reachedEnd) {
        MessageBoxes::information(this, QString::fromUtf8(search::kLastNegativeRestMessage));
        dkeySearchGlobal.clear();
    } else {
        dkeySearchGlobal = step.nextSearchKey;
    }
    if (!reopenViews())
        return;
    const int invoice = search::findInvoiceOf(Views.ClientDataSetInvoice, step.found);
    Views.ClientDataSetInvoice.setRecNo(invoice < 0 ? 1 : invoice + 1);
    if (invoice < 0)
        MessageBoxes::information(this, QString::fromUtf8(search::kNoNegativeRestMessage));
    Views.invoiceSelected(chargesVisible());
    showViews(true, true);
}

void TMainForm::ButtonSearchClick()
{
    if (!AppSettings || !Views.isOpen())
        return;
    const QString threshold = EditSearch->text();
    const ViewCursor at = Views.cursor();
    try {
        Views.close();
        Table rows(AppSettings->FDeclarationFileName);
        rows.setIndexFieldNames(QStringLiteral("dkey"));
        rows.open();
        search::writePriceListing(rows, ComboBoxSearch->currentIndex(), threshold,
                                  AppSettings->FcurDir + QStringLiteral("log1.txt"));
        MessageBoxes::information(this, QString::fromUtf8(search::kPriceListingDoneMessage));
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
    reopenViews(at);
}

void TMainForm::Button1Click()
{
    if (m_update)
        m_update->TestUpdateActionExecute();
}

void TMainForm::ExitActionExecute()
{
    close();
}

void TMainForm::EssentialActionExecute()
{
    // The requisites line keeps the values read at start-up until the next start.
    if (AppSettings && !AppSettings->FKalvorFileName.isEmpty())
        editRequisites(this, AppSettings->FKalvorFileName);
}

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow()
{
    if (m_updateExit || m_setupDeclined)
        close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TMainForm::FormClose()
{
    try {
        Views.close();
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
}

int runDesktop(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Kalvor "));
    installApplicationIcon();
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    installRussianTranslations(app);
    WorkspaceLock lock;
    if (!lockDesktopWorkspace(lock, QApplication::arguments(), QApplication::applicationDirPath()))
        return 1;
    TMainForm window(QApplication::arguments(), QApplication::applicationDirPath());
    window.FormCreate();
    if (window.updateExit() || window.setupDeclined())
        return 0;
    // Wheel turns become arrow keys only once the start-up dialogs are gone.
    WheelTranslator wheel;
    app.installEventFilter(&wheel);
    window.show();
    return app.exec();
}

} // namespace kalvor::gui
