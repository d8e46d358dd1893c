#include "gui/refbooks/ProductionReferenceForms.h"

#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "refbooks/RefBookSearch.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "gui/common/DialogButtons.h"

#include <QAction>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

// A kinds or regions book for a drop-down: a missing file leaves the table closed (no choices); the
// window has said so already.
void openCodeList(Table &table, const QString &fileName, RefBook book) { openRefBook(table, fileName, book); }

QLabel *captionFor(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

// --- TChangeProductionReferenceForm --------------------------------------------------------------

TChangeProductionReferenceForm::TChangeProductionReferenceForm(const QString &referenceFileName,
                                                               const QString &productionFileName,
                                                               const QString &regionsFileName, EntryMode mode,
                                                               int recNo, QWidget *parent)
    : QDialog(parent), ClientDataSet1(std::make_unique<Table>()), ClientDataSetRegions(std::make_unique<Table>()),
      ClientDataSetKindProduction(std::make_unique<Table>())
{
    setObjectName(QStringLiteral("ChangeProductionReferenceForm"));
    setWindowTitle(QStringLiteral("Продукция"));
    orderTabsWhenShown(this);
    beginEntry(*ClientDataSet1, referenceFileName, RefBook::ProductionReference, mode, recNo);
    openCodeList(*ClientDataSetRegions, regionsFileName, RefBook::Regions);
    openCodeList(*ClientDataSetKindProduction, productionFileName, RefBook::KindProduction);
    m_binding = std::make_unique<DataBinding>(*ClientDataSet1);

    DataBinding &b = *m_binding;
    const auto named = [](auto *control, const char *name) {
        control->setObjectName(QString::fromLatin1(name));
        return control;
    };
    DBEditProductionName = named(new BoundLineEdit(b, QStringLiteral("production_name")), "DBEditProductionName");
    DBLookupComboBox3 = named(new BoundLookupComboBox(b, QStringLiteral("production_code"), *ClientDataSetKindProduction,
                                                      QStringLiteral("code"), QStringLiteral("name")),
                              "DBLookupComboBox3");
    DBEditPackageVolume = named(new BoundLineEdit(b, QStringLiteral("package_volume")), "DBEditPackageVolume");
    DBEditProductionNumber = named(new BoundLineEdit(b, QStringLiteral("production_number")), "DBEditProductionNumber");
    DBEditAlcohol = named(new BoundLineEdit(b, QStringLiteral("alcohol")), "DBEditAlcohol");
    DBEditProducerName = named(new BoundLineEdit(b, QStringLiteral("producer_name")), "DBEditProducerName");
    DBLookupComboBox2 = named(new BoundLookupComboBox(b, QStringLiteral("region_code"), *ClientDataSetRegions,
                                                      QStringLiteral("code"), QStringLiteral("name")),
                              "DBLookupComboBox2");
    DBEditProductionName->setMinimumWidth(460);
    DBEditPackageVolume->setMaximumWidth(110);
    DBLookupComboBox3->setMinimumWidth(300);
    DBLookupComboBox2->setMinimumWidth(300);
    DBLookupComboBox2->setMaxVisibleItems(20);

    GroupBoxProduction = new QGroupBox(QStringLiteral("Продукция"));
    GroupBoxProduction->setObjectName(QStringLiteral("GroupBoxProduction"));
    auto *product = new QGridLayout(GroupBoxProduction);
    product->addWidget(captionFor(QStringLiteral("Наименование"), DBEditProductionName), 0, 0, 1, 2);
    product->addWidget(DBEditProductionName, 1, 0, 1, 2);
    product->addWidget(captionFor(QStringLiteral("Код вида"), DBLookupComboBox3), 2, 0);
    product->addWidget(captionFor(QStringLiteral("Емкость тары(л.)"), DBEditPackageVolume), 2, 1);
    product->addWidget(DBLookupComboBox3, 3, 0, Qt::AlignLeft);
    product->addWidget(DBEditPackageVolume, 3, 1, Qt::AlignLeft);
    // Carried with the entry into positions, but not entered here.
    auto *numberCaption = captionFor(QStringLiteral("Дата изготовления"), DBEditProductionNumber);
    auto *alcoholCaption = captionFor(QStringLiteral("Содержание спирта(%)"), DBEditAlcohol);
    for (QWidget *hidden : {static_cast<QWidget *>(numberCaption), static_cast<QWidget *>(DBEditProductionNumber),
                            static_cast<QWidget *>(alcoholCaption), static_cast<QWidget *>(DBEditAlcohol)})
        hidden->setVisible(false);

    GroupBoxProducer = new QGroupBox(QStringLiteral("Производитель"));
    GroupBoxProducer->setObjectName(QStringLiteral("GroupBoxProducer"));
    auto *producer = new QVBoxLayout(GroupBoxProducer);
    producer->addWidget(captionFor(QStringLiteral("Наименование"), DBEditProducerName));
    producer->addWidget(DBEditProducerName);
    producer->addWidget(captionFor(QStringLiteral("Код субъекта РФ"), DBLookupComboBox2));
    producer->addWidget(DBLookupComboBox2, 0, Qt::AlignLeft);
    product->addWidget(GroupBoxProducer, 4, 0, 1, 2);

    QHBoxLayout *buttons = saveCancelRow(QStringLiteral("Button2"), QStringLiteral("ButtonCancel"), Button2, ButtonCancel);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(GroupBoxProduction);
    main->addSpacing(6);
    main->addLayout(buttons);

    connect(Button2, &QPushButton::clicked, this, &TChangeProductionReferenceForm::Button2Click);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TChangeProductionReferenceForm::~TChangeProductionReferenceForm() = default;

void TChangeProductionReferenceForm::copyFrom(const RowView &source)
{
    copyProductionEntry(source, *ClientDataSet1);
    m_binding->refreshAll();
}

bool TChangeProductionReferenceForm::entryComplete()
{
    if (!m_binding->commitAll())
        return false;
    const ProductionEntryCheck check
        = checkProductionEntry(ClientDataSet1->currentRow(), *ClientDataSetKindProduction, *ClientDataSetRegions);
    paintWarning(DBEditProductionName, check.productionNameEmpty);
    paintWarning(DBEditProducerName, check.producerNameEmpty);
    paintWarning(DBEditPackageVolume, check.packageVolumeWrong);
    paintWarning(DBLookupComboBox2, check.regionUnknown);
    paintWarning(DBLookupComboBox3, check.kindUnknown);
    return check.passed();
}

void TChangeProductionReferenceForm::Button2Click()
{
    if (entryComplete())
        accept();
}

// --- TProductionReferenceForm --------------------------------------------------------------------

TProductionReferenceForm::TProductionReferenceForm(const QString &referenceFileName, const QString &productionFileName,
                                                   const QString &regionsFileName, QWidget *parent)
    : RefBookWindow(RefBook::ProductionReference, referenceFileName,
                    {{QStringLiteral("production_name"), QStringLiteral("Наименование")},
                     {QStringLiteral("production_code"), QStringLiteral("Код вида")},
                     {QStringLiteral("producer_name"), QStringLiteral("Наименование производителя")},
                     {QStringLiteral("region_code"), QStringLiteral("Код субъекта РФ")},
                     {QStringLiteral("package_volume"), QStringLiteral("Емкость тары (л.)")},
                     {QStringLiteral("production_number"), QStringLiteral("Дата изготовления")},
                     {QStringLiteral("alcohol"), QStringLiteral("Содержание спирта (%)")}},
                    parent),
      ProductionReferenceFileName(referenceFileName), ProductionFileName(productionFileName),
      RegionsFileName(regionsFileName)
{
    setObjectName(QStringLiteral("ProductionReferenceForm"));
    setWindowTitle(QStringLiteral("Справочник продукции"));
    DataSetProductionReference = &bookTable();
    DBGridProductionReference = bookGrid();
    // Without these books no entry can be saved: say so now rather than at the first red drop-down.
    for (const auto &[file, book] : {std::pair{productionFileName, RefBook::KindProduction},
                                     std::pair{regionsFileName, RefBook::Regions}}) {
        if (!QFileInfo::exists(file))
            addProblem(QStringLiteral("Не найден файл справочника «%1»:\n%2\nБез него запись о продукции не сохранить.")
                           .arg(refBookTitle(book), file));
    }

    AddProductionReferenceAction = new QAction(QStringLiteral("Добавить"), this);
    AddProductionReferenceAction->setObjectName(QStringLiteral("AddProductionReferenceAction"));
    AddProductionReferenceAction->setToolTip(QStringLiteral("Добавить продукцию"));
    EditProductionReferenceAction = new QAction(QStringLiteral("Изменить"), this);
    EditProductionReferenceAction->setObjectName(QStringLiteral("EditProductionReferenceAction"));
    EditProductionReferenceAction->setToolTip(QStringLiteral("Редактировать продукцию"));
    DeleteProductionReferenceAction = new QAction(QStringLiteral("Удалить"), this);
    DeleteProductionReferenceAction->setObjectName(QStringLiteral("DeleteProductionReferenceAction"));
    DeleteProductionReferenceAction->setToolTip(QStringLiteral("Удалить продукцию"));
    CopyProductionReferenceAction = new QAction(QStringLiteral("Копировать"), this);
    CopyProductionReferenceAction->setObjectName(QStringLiteral("CopyProductionReferenceAction"));
    CopyProductionReferenceAction->setToolTip(QStringLiteral("Скопировать текущую"));
    addToolButton(AddProductionReferenceAction, QStringLiteral("SpeedButtonAddProductionReference"));
    addToolButton(EditProductionReferenceAction, QStringLiteral("SpeedButtonEditProductionReference"));
    addToolButton(DeleteProductionReferenceAction, QStringLiteral("SpeedButtonDeleteProductionReference"));
    SpeedButton12 = addToolButton(CopyProductionReferenceAction, QStringLiteral("SpeedButton12"));

    toolRow()->addSpacing(24);
    auto *searchLabel = new QLabel(QStringLiteral("Поиск по наименованию:"));
    toolRow()->addWidget(searchLabel);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(240);
    searchLabel->setBuddy(Edit1);
    toolRow()->addWidget(Edit1);
    Button2 = new QPushButton(QStringLiteral(">"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setToolTip(QStringLiteral("Найти следующую"));
    Button3 = new QPushButton(QStringLiteral("<"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setToolTip(QStringLiteral("Найти предыдущую"));
    for (QPushButton *button : {Button2, Button3}) {
        button->setAutoDefault(false);
        button->setFixedWidth(32);
    }
    toolRow()->addWidget(Button2);
    toolRow()->addWidget(Button3);
    Edit1->installEventFilter(this);

    finishLayout(QStringLiteral("DBGridProductionReference"));
    DBGridProductionReference->setColumnHidden(5, true);
    DBGridProductionReference->setColumnHidden(6, true);
    DBGridProductionReference->setColumnWidth(0, 320);
    DBGridProductionReference->setColumnWidth(2, 260);
    resize(1000, 520);

    connect(AddProductionReferenceAction, &QAction::triggered, this,
            &TProductionReferenceForm::AddProductionReferenceActionExecute);
    connect(EditProductionReferenceAction, &QAction::triggered, this,
            &TProductionReferenceForm::EditProductionReferenceActionExecute);
    connect(DeleteProductionReferenceAction, &QAction::triggered, this,
            &TProductionReferenceForm::DeleteProductionReferenceActionExecute);
    connect(CopyProductionReferenceAction, &QAction::triggered, this, &TProductionReferenceForm::SpeedButton12Click);
    connect(Button2, &QPushButton::clicked, this, &TProductionReferenceForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TProductionReferenceForm::Button3Click);
    connect(DBGridProductionReference, &QTableView::doubleClicked, this, [this] {
        if (EditProductionReferenceAction->isEnabled())
            EditProductionReferenceActionExecute();
    });
    DataSetProductionReferenceAfterOpen();
}

void TProductionReferenceForm::DataSetProductionReferenceAfterOpen()
{
    const bool rows = canEditOrDelete(*DataSetProductionReference);
    EditProductionReferenceAction->setEnabled(rows);
    DeleteProductionReferenceAction->setEnabled(rows);
    // Copying needs a row to copy from.
    CopyProductionReferenceAction->setEnabled(rows);
}

void TProductionReferenceForm::runEntry(Entry entry)
{
    try {
        const EntryMode mode = entry == Entry::Edit ? EntryMode::Edit : EntryMode::Add;
        TChangeProductionReferenceForm form(ProductionReferenceFileName, ProductionFileName, RegionsFileName, mode,
                                            DataSetProductionReference->recNo(), this);
        if (entry == Entry::Copy)
            form.copyFrom(DataSetProductionReference->currentRow());
        if (form.exec() == QDialog::Accepted)
            storeEntry(*form.ClientDataSet1);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
    }
}

void TProductionReferenceForm::AddProductionReferenceActionExecute() { runEntry(Entry::Add); }

void TProductionReferenceForm::EditProductionReferenceActionExecute()
{
    if (canEditOrDelete(*DataSetProductionReference))
        runEntry(Entry::Edit);
}

void TProductionReferenceForm::SpeedButton12Click()
{
    if (canEditOrDelete(*DataSetProductionReference))
        runEntry(Entry::Copy);
}

void TProductionReferenceForm::DeleteProductionReferenceActionExecute() { deleteCurrent(); }

void TProductionReferenceForm::Button2Click()
{
    searchForward(*DataSetProductionReference, u"production_name", Edit1->text());
    Edit1->setFocus(Qt::OtherFocusReason);
}

void TProductionReferenceForm::Button3Click()
{
    searchBackward(*DataSetProductionReference, u"production_name", Edit1->text());
    Edit1->setFocus(Qt::OtherFocusReason);
}

bool TProductionReferenceForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Edit1) {
        // Edit1KeyPress notes a key that searches; Edit1KeyUp runs the search once the text holds it.
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent *>(event)->text();
            if (!text.isEmpty() && startsIncrementalSearch(text.front()))
                m_searchKeyNoted = true;
        } else if (event->type() == QEvent::KeyRelease && m_searchKeyNoted) {
            m_searchKeyNoted = false;
            searchIncremental(*DataSetProductionReference, u"production_name", Edit1->text());
        }
    }
    return RefBookWindow::eventFilter(watched, event);
}

} // namespace kalvor::gui
