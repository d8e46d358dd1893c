#include "gui/MainWindow.h"

#include "app/Deployment.h"
#include "app/PeriodNames.h"
#include "app/PeriodSwitch.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "app/Workspace.h"
#include "gui/EssentialForm.h"
#include "gui/FirstStartDialogs.h"
#include "gui/HelpCommands.h"
#include "gui/UpdateCommands.h"
#include "gui/WheelTranslator.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TableModel.h"
#include "store/KalvorError.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

const QString kCaption = QStringLiteral("Декларация о розничной продаже алкогольной продукции  ");

QComboBox *periodSelector(const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setEditable(true);
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->lineEdit()->setPlaceholderText(QStringLiteral("..."));
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

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
    return view;
}

// Columns wide enough for their captions and for the first rows' values (within reason); only a sample
// is measured, so a period of 100,000 rows opens as fast as a small one.
void fitColumns(QTableView *view)
{
    const QFontMetrics header(view->horizontalHeader()->font());
    const QFontMetrics cells(view->font());
    QAbstractItemModel *model = view->model();
    const int sample = std::min(model->rowCount(), 50);
    for (int c = 0; c < model->columnCount(); ++c) {
        int width = header.horizontalAdvance(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) + 24;
        for (int r = 0; r < sample; ++r)
            width = std::max(width, cells.horizontalAdvance(model->index(r, c).data().toString()) + 16);
        view->setColumnWidth(c, std::clamp(width, 60, 320));
    }
}

// A grid under a header line, as each of the main window's panels shows it.
QWidget *titled(const QString &title, QWidget *content, QWidget *parent)
{
    auto *panel = new QWidget(parent);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto *label = new QLabel(title, panel);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    layout->addWidget(content);
    return panel;
}

} // namespace

TMainForm::TMainForm(const QStringList &arguments, const QString &executableDir, QWidget *parent)
    : QMainWindow(parent), m_arguments(arguments), m_executableDir(executableDir)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(kCaption);
    resize(1180, 760);
    buildMenus();
    buildPanels();
}

TMainForm::~TMainForm() = default;

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

    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->addAction(ExitAction);
    QMenu *books = menuBar()->addMenu(QStringLiteral("Справочники"));
    books->addAction(EssentialAction);
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

QWidget *TMainForm::buildPeriodLine()
{
    auto *line = new QWidget(this);
    line->setObjectName(QStringLiteral("PeriodPanel"));
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Декларация за"), line));
    ComboBoxMonth = periodSelector(monthNames(), line);
    ComboBoxMonth->setObjectName(QStringLiteral("ComboBoxMonth"));
    ComboBoxYear = periodSelector(selectorYears(), line);
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

    // Picking or typing in either selector tries the period at once.
    connect(ComboBoxMonth, &QComboBox::currentIndexChanged, this, &TMainForm::ComboBoxYearChange);
    connect(ComboBoxYear, &QComboBox::currentIndexChanged, this, &TMainForm::ComboBoxYearChange);
    connect(BtnPeriodAdd, &QToolButton::clicked, this, &TMainForm::BtnPeriodAddClick);
    connect(BtnPeriodDel, &QToolButton::clicked, this, &TMainForm::BtnPeriodDelClick);
    connect(Button1, &QPushButton::clicked, this, &TMainForm::Button1Click);
    return line;
}

void TMainForm::buildPanels()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
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
    m_productionModel = new TableModel(Views.ClientDataSetProduction,
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
    DBGridInvoice->setModel(m_invoiceModel);
    DBGridProduction->setModel(m_productionModel);
    DBGridInner->setModel(m_transferModel);
    DBGridInner->horizontalHeader()->setStretchLastSection(true);

    auto *splitter = new QSplitter(Qt::Horizontal, central);
    splitter->addWidget(titled(QStringLiteral("Накладные"), DBGridInvoice, splitter));
    splitter->addWidget(titled(QStringLiteral("Продукция"), DBGridProduction, splitter));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter, 3);

    Panel17 = titled(QStringLiteral("Внутренние перемещения по текущей продукции"), DBGridInner, central);
    Panel17->setObjectName(QStringLiteral("Panel17"));
    layout->addWidget(Panel17, 1);
    Panel11 = new QWidget(central);
    Panel11->setObjectName(QStringLiteral("Panel11"));
    Panel11->hide();
    layout->addWidget(Panel11);
    setCentralWidget(central);

    // A selection in one grid filters the grids that depend on it.
    connect(DBGridInvoice->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMainForm::DBGridInvoiceCellClick);
    connect(DBGridProduction->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TMainForm::DBGridProductionCellClick);
}

void TMainForm::FormCreate()
{
    m_updateExit = false;
    const QString version = versionText();
    setWindowTitle(kCaption + QStringLiteral("(версия ") + version + u')');
    try {
        m_curDir = prepareWorkspace(m_arguments, m_executableDir);
        const Deployment deployment = loadDeployment(m_curDir, locateShareDir(m_executableDir));
        AppSettings = std::make_unique<TAppSettings>();
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
        connect(SendNonContractMailItem, &QAction::triggered, m_help.get(), &HelpCommands::SendNonContractMailItemClick);
        connect(N24, &QAction::triggered, m_help.get(), &HelpCommands::N24Click);

        openConfiguration(*AppSettings, m_curDir);
        StartupResult result;
        if (isFirstStart(*AppSettings)) {
            const PeriodChoice period = askFirstPeriod(this);
            result = runFirstStart(*AppSettings, period, requisitesEditorDialog(this));
        } else {
            result = runNormalStart(*AppSettings);
        }
        showCurrentPeriod();
        Essential->setText(result.requisitesLine);
        m_periodConverted = result.converted;
        startViews();
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    } catch (const std::exception &e) {
        MessageBoxes::error(this, QString::fromLocal8Bit(e.what()));
    }
    CheckErrors = Chk_rest = Chk_empty = Chk_TTN_DATE = Chk_Production_Code = Chk_vodka = Chk_Koniyak = true;
}

void TMainForm::startViews()
{
    Views.reopen(AppSettings->FDeclarationFileName);
    DBGridInvoice->setCurrentIndex(m_invoiceModel->index(0, 0));
    for (QTableView *view : {DBGridInvoice, DBGridProduction, DBGridInner})
        fitColumns(view);
}

void TMainForm::showPeriod(int month, int year)
{
    m_showingPeriod = true;
    ComboBoxMonth->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : -1);
    ComboBoxYear->setCurrentIndex(yearSelectorIndex(year));
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
    GetNewPeriod(ComboBoxYear->currentIndex() + kFirstSelectorYear, ComboBoxMonth->currentIndex() + 1);
}

void TMainForm::stepPeriod(int direction)
{
    BtnPeriodAdd->setEnabled(false);
    BtnPeriodDel->setEnabled(false);
    const int month = ComboBoxMonth->currentIndex() + 1;
    const int year = ComboBoxYear->currentIndex() + kFirstSelectorYear;
    const auto [newYear, newMonth] = direction > 0 ? nextPeriod(year, month) : previousPeriod(year, month);
    showPeriod(newMonth, newYear);
    GetNewPeriod(newYear, newMonth);
    BtnPeriodAdd->setEnabled(true);
    BtnPeriodDel->setEnabled(true);
}

void TMainForm::BtnPeriodAddClick() { stepPeriod(+1); }

void TMainForm::BtnPeriodDelClick() { stepPeriod(-1); }

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
    try {
        startViews();
    } catch (const KalvorError &e) {
        MessageBoxes::error(this, e.message());
    }
}

void TMainForm::DBGridInvoiceCellClick()
{
    const QModelIndex current = DBGridInvoice->currentIndex();
    if (!Views.isOpen() || !current.isValid())
        return;
    Views.ClientDataSetInvoice.setRecNo(current.row() + 1);
    Views.invoiceSelected();
    DBGridProduction->setCurrentIndex(m_productionModel->index(0, 0));
}

void TMainForm::DBGridProductionCellClick()
{
    const QModelIndex current = DBGridProduction->currentIndex();
    if (!Views.isOpen() || !current.isValid())
        return;
    Views.ClientDataSetProduction.setRecNo(current.row() + 1);
    Views.positionSelected();
}

void TMainForm::Button1Click()
{
    if (m_update)
        m_update->TestUpdateActionExecute();
}

void TMainForm::ExitActionExecute() { close(); }

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
    if (m_updateExit)
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
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    TMainForm window(QApplication::arguments(), QApplication::applicationDirPath());
    window.FormCreate();
    if (window.updateExit())
        return 0;
    // Wheel turns become arrow keys only once the start-up dialogs are gone.
    WheelTranslator wheel;
    app.installEventFilter(&wheel);
    window.show();
    return app.exec();
}

} // namespace kalvor::gui
