#include "gui/editing/ProductionForm.h"

#include "editing/DeclarationViews.h"
#include "editing/PositionEditing.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "gui/editing/ChargesGroup.h"
#include "gui/editing/EntryMarks.h"
#include "gui/editing/EntryWidgets.h"
#include "gui/refbooks/ProductionReferenceForms.h"
#include "refbooks/RefBooks.h"
#include "store/KalvorError.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kalvor::gui {

TProductionForm::TProductionForm(const Setup &setup, QWidget *parent) : QDialog(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("ProductionForm"));
    setWindowTitle(QStringLiteral("Продукция"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    DataSetProduction.setFileName(setup.declarationFileName);
    DataSetProduction.setIndexFieldNames(QStringLiteral("dkey"));
    // The positions of the invoice, as the position view shows them.
    DataSetProduction.setFilter([this](const RowView &row) {
        const int field = row.fieldIndex(u"dkey");
        return field >= 0 && !row.isNull(field) && viewfilter::isPositionOf(row.utf8(field), InvoiceDKey.toStdString());
    });
    DataSetProduction.setFiltered(true);
    m_binding = std::make_unique<DataBinding>(DataSetProduction);
}

TProductionForm::~TProductionForm() = default;

void TProductionForm::openReferences(bool withProductionReference)
{
    const auto open = [this](Table &table, const QString &fileName, RefBook book) {
        const QString note = openRefBook(table, fileName, book);
        if (!note.isEmpty())
            m_bookNotes << note;
    };
    if (withProductionReference)
        open(ClientDataSetProductionReference, m_setup.productionReferenceFileName, RefBook::ProductionReference);
    open(ClientDataSetKindProduction, m_setup.productionFileName, RefBook::KindProduction);
    open(ClientDataSetRegions, m_setup.regionsFileName, RefBook::Regions);
    open(ClientDataSetDepartmentCode, m_setup.departmentFileName, RefBook::DepartmentCode);
}

void TProductionForm::openDataSetProduction(const RowView &invoice)
{
    const int keyField = invoice.fieldIndex(u"dkey");
    InvoiceDKey = keyField < 0 ? QString() : invoice.asString(keyField);
    if (viewfilter::isInvoiceRow(InvoiceDKey.toStdString()) == false || InvoiceDKey.isEmpty())
        throw KalvorError(QStringLiteral("Накладная не выбрана"));
    DataSetProduction.open();
}

void TProductionForm::startNew(const RowView &invoice)
{
    databool = true;
    openDataSetProduction(invoice);
    const int last = position::lastPositionNumber(DataSetProduction);
    strProductionLastNumber = QString::number(last).rightJustified(6, u'0');
    const QString key = position::newPositionKey(DataSetProduction, InvoiceDKey);
    openReferences(true);
    buildLayout();
    SupplierLabel->setText(invoice.asString(invoice.fieldIndex(u"supply_name")));
    TTNNumberLabel->setText(invoice.asString(invoice.fieldIndex(u"ttn_numer")));
    DataSetProduction.append();
    DataSetProduction.setString(u"dkey", key);
    position::copyFields(invoice, DataSetProduction, {QStringLiteral("department_code")});
    m_binding->refreshAll();
}

void TProductionForm::startCopy(const RowView &invoice, const RowView &source)
{
    databool = false;
    openDataSetProduction(invoice);
    const int last = position::lastPositionNumber(DataSetProduction);
    strProductionLastNumber = QString::number(last).rightJustified(6, u'0');
    const QString key = position::newPositionKey(DataSetProduction, InvoiceDKey);
    // Copying offers no products: the name is typed.
    openReferences(false);
    buildLayout();
    SupplierLabel->setText(invoice.asString(invoice.fieldIndex(u"supply_name")));
    TTNNumberLabel->setText(invoice.asString(invoice.fieldIndex(u"ttn_numer")));
    // `source` belongs to another table: its values are read before this table changes.
    DataSetProduction.append();
    DataSetProduction.setString(u"dkey", key);
    position::copyFields(source, DataSetProduction, position::copiedFields());
    m_binding->refreshAll();
}

void TProductionForm::startEdit(const RowView &invoice, int recNo, bool departmentChangeable)
{
    databool = false;
    openDataSetProduction(invoice);
    if (recNo < 1 || recNo > DataSetProduction.recordCount())
        throw KalvorError(QStringLiteral("Продукция не выбрана"));
    openReferences(true);
    buildLayout();
    SupplierLabel->setText(invoice.asString(invoice.fieldIndex(u"supply_name")));
    TTNNumberLabel->setText(invoice.asString(invoice.fieldIndex(u"ttn_numer")));
    DataSetProduction.setRecNo(recNo);
    DataSetProduction.edit();
    // A read-only field keeps its drop-down disabled through every refresh.
    if (!departmentChangeable)
        DataSetProduction.setReadOnly(DataSetProduction.requireField(u"department_code"), true);
    m_binding->refreshAll();
}

void TProductionForm::buildLayout()
{
    DataBinding &b = *m_binding;
    const auto edit = [this, &b](const char *name, const QString &field) { return boundEdit(b, name, field, this); };
    const auto text = [this, &b](const char *name, const QString &field) { return boundText(b, name, field, this); };
    const auto lookup = [this, &b](const char *name, const QString &field, const Table &reference, const QString &key,
                                   const QString &display) {
        auto *c = new BoundLookupComboBox(b, field, reference, key, display, this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    const auto caption = [this](const QString &t) { return new QLabel(t, this); };

    SupplierLabel = new QLabel(this);
    SupplierLabel->setObjectName(QStringLiteral("SupplierLabel"));
    TTNNumberLabel = new QLabel(this);
    TTNNumberLabel->setObjectName(QStringLiteral("TTNNumberLabel"));
    DBLookupComboBoxProductionName =
        lookup("DBLookupComboBoxProductionName", QStringLiteral("production_name"), ClientDataSetProductionReference,
               QStringLiteral("production_name"), QStringLiteral("production_name"));
    DBEditProductionName = edit("DBEditProductionName", QStringLiteral("production_name"));
    Button1 = new QPushButton(QStringLiteral(".."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("Справочник продукции"));
    Button1->setFixedWidth(32);
    // The book is opened with the mouse; Tab goes from the name straight on to the date.
    Button1->setFocusPolicy(Qt::ClickFocus);
    DBEditProductionNumber = edit("DBEditProductionNumber", QStringLiteral("production_number"));
    DBLookupComboBox3 = lookup("DBLookupComboBox3", QStringLiteral("production_code"), ClientDataSetKindProduction,
                               QStringLiteral("code"), QStringLiteral("name"));
    DBEditProducerName = edit("DBEditProducerName", QStringLiteral("producer_name"));
    DBLookupComboBox2 = lookup("DBLookupComboBox2", QStringLiteral("region_code"), ClientDataSetRegions,
                               QStringLiteral("code"), QStringLiteral("name"));
    DBLookupComboBox1 = lookup("DBLookupComboBox1", QStringLiteral("department_code"), ClientDataSetDepartmentCode,
                               QStringLiteral("code"), QStringLiteral("address"));
    DBEdit1 = edit("DBEdit1", QStringLiteral("rest_volume"));
    LabelRestVolume = restInPackagesLabel(this);
    DBEditReturnVolume = edit("DBEditReturnVolume", QStringLiteral("return_volume"));
    DBEditPackageVolume = edit("DBEditPackageVolume", QStringLiteral("package_volume"));
    DBEditPackageCount = edit("DBEditPackageCount", QStringLiteral("package_count"));
    DBTextVolume = text("DBTextVolume", QStringLiteral("volume"));
    DBEditPurchesPrice = edit("DBEditPurchesPrice", QStringLiteral("purches_price"));
    DBTextSumComing = text("DBTextSumComing", QStringLiteral("sum_coming"));
    DBEditAlcohol = edit("DBEditAlcohol", QStringLiteral("alcohol"));
    DBEditAlcohol->hide();
    DBEditPackageCountCharges = edit("DBEditPackageCountCharges", QStringLiteral("package_count_charges"));
    DBTextVolumeCharges = text("DBTextVolumeCharges", QStringLiteral("volume_charges"));
    DBEditReturnVolumeCharges = edit("DBEditReturnVolumeCharges", QStringLiteral("return_volume_charges"));
    DBEditWriteVolumeCharges = edit("DBEditWriteVolumeCharges", QStringLiteral("writeoff_volume_charges"));
    DBEditMarkup = edit("DBEditMarkup", QStringLiteral("markup"));
    DBEditMarkup->hide();
    DBTextSumCharges = text("DBTextSumCharges", QStringLiteral("sum_charges"));
    DBTextSumCharges->hide();
    DBTextRest = text("DBTextRest", QStringLiteral("rest"));
    lblWarning = hiddenWarningLabel(QStringLiteral("lblWarning"), QStringLiteral("Исправьте выделенные поля! "), this);
    lblBooks = new QLabel(m_bookNotes.join(u'\n'), this);
    lblBooks->setObjectName(QStringLiteral("lblBooks"));
    lblBooks->setWordWrap(true);
    lblBooks->setVisible(!m_bookNotes.isEmpty());
    SaveButton = new QPushButton(QStringLiteral("Сохранить"), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    SaveButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    DBLookupComboBoxProductionName->setMinimumWidth(360);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    auto *head = new QGridLayout;
    head->addWidget(caption(QStringLiteral("Поставщик:")), 0, 0);
    head->addWidget(SupplierLabel, 0, 1);
    head->addWidget(caption(QStringLiteral("Номер ТТН:")), 1, 0);
    head->addWidget(TTNNumberLabel, 1, 1);
    head->setColumnStretch(1, 1);
    main->addLayout(head);

    auto *product = new QGroupBox(QStringLiteral("Продукция"), this);
    auto *productLayout = new QGridLayout(product);
    productLayout->addWidget(caption(QStringLiteral("Наименование")), 0, 0, 1, 2);
    productLayout->addWidget(DBLookupComboBoxProductionName, 1, 0);
    productLayout->addWidget(Button1, 1, 1);
    productLayout->addWidget(DBEditProductionName, 2, 0, 1, 2);
    auto *dateKind = new QGridLayout;
    dateKind->addWidget(caption(QStringLiteral("Дата изготовления")), 0, 0);
    dateKind->addWidget(DBEditProductionNumber, 1, 0);
    dateKind->addWidget(caption(QStringLiteral("Код вида")), 0, 1);
    dateKind->addWidget(DBLookupComboBox3, 1, 1);
    dateKind->setColumnStretch(1, 1);
    productLayout->addLayout(dateKind, 3, 0, 1, 2);
    auto *producer = new QGroupBox(QStringLiteral("Производитель"), product);
    auto *producerLayout = new QGridLayout(producer);
    producerLayout->addWidget(caption(QStringLiteral("Наименование")), 0, 0);
    producerLayout->addWidget(DBEditProducerName, 1, 0);
    producerLayout->addWidget(caption(QStringLiteral("Код субъекта РФ")), 0, 1);
    producerLayout->addWidget(DBLookupComboBox2, 1, 1);
    producerLayout->setColumnStretch(0, 1);
    productLayout->addWidget(producer, 4, 0, 1, 2);
    main->addWidget(product);

    main->addWidget(caption(QStringLiteral("Код обособленного подразделения")));
    main->addWidget(caption(QStringLiteral("(куда поступает продукция от поставщика)")));
    main->addWidget(DBLookupComboBox1);

    QGridLayout *rest = openingRestRows(DBEdit1, LabelRestVolume, this);
    main->addLayout(rest);

    auto *coming = new QGroupBox(QStringLiteral("Приход за отчетный месяц"), this);
    auto *comingLayout = new QGridLayout(coming);
    comingLayout->addWidget(caption(QStringLiteral("Возврат покупателя")), 0, 0);
    comingLayout->addWidget(DBEditReturnVolume, 0, 1);
    comingLayout->addWidget(caption(QStringLiteral("Емкость тары(л.)")), 1, 0);
    comingLayout->addWidget(DBEditPackageVolume, 1, 1);
    comingLayout->addWidget(caption(QStringLiteral("Количество тары(шт.)")), 1, 2);
    comingLayout->addWidget(DBEditPackageCount, 1, 3);
    comingLayout->addWidget(caption(QStringLiteral("Объем (литров)")), 1, 4);
    comingLayout->addWidget(DBTextVolume, 1, 5);
    comingLayout->addWidget(caption(QStringLiteral("Цена закупки(руб.с НДС)")), 2, 0);
    comingLayout->addWidget(DBEditPurchesPrice, 2, 1);
    comingLayout->addWidget(caption(QStringLiteral("Сумма(тыс. руб)")), 2, 4);
    comingLayout->addWidget(DBTextSumComing, 2, 5);
    comingLayout->addWidget(DBEditAlcohol, 3, 1);
    main->addWidget(coming);

    main->addWidget(chargesGroup(QStringLiteral("Расход за отчетный месяц"),
                                 {DBEditPackageCountCharges, DBTextVolumeCharges, DBEditMarkup, DBTextSumCharges,
                                  DBEditReturnVolumeCharges, DBEditWriteVolumeCharges},
                                 this));

    auto *end = new QHBoxLayout;
    end->addWidget(caption(QStringLiteral("Остаток на конец отчетного периода (л.)")));
    end->addWidget(DBTextRest);
    end->addStretch();
    main->addLayout(end);
    main->addWidget(lblBooks);
    main->addWidget(lblWarning);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(SaveButton);
    buttons->addWidget(CancelButton);
    main->addLayout(buttons);

    for (BoundLineEdit *e :
         {DBEditReturnVolume, DBEditAlcohol, DBEditPackageVolume, DBEditPackageCount, DBEditPurchesPrice,
          DBEditPackageCountCharges, DBEditMarkup, DBEditReturnVolumeCharges, DBEditWriteVolumeCharges, DBEdit1}) {
        connect(e, &BoundLineEdit::left, this, &TProductionForm::CalculateSomeFields);
    }
    DBEditProductionNumber->installEventFilter(this);
    DBLookupComboBoxProductionName->view()->window()->installEventFilter(this);
    // A product chosen with the keys or the wheel fills the position as one chosen from the list.
    connect(DBLookupComboBoxProductionName, &BoundLookupComboBox::chosenWithoutList, this,
            &TProductionForm::DBLookupComboBoxProductionNameCloseUp);
    connect(Button1, &QPushButton::clicked, this, &TProductionForm::Button1Click);
    connect(SaveButton, &QPushButton::clicked, this, &TProductionForm::SaveButtonClick);
    orderTabsWhenShown(this);
    connect(CancelButton, &QPushButton::clicked, this, &TProductionForm::reject);
}

bool TProductionForm::eventFilter(QObject *watched, QEvent *event)
{
    if (DBEditProductionNumber != nullptr && watched == DBEditProductionNumber && event->type() == QEvent::KeyPress) {
        // DBEditProductionNumberKeyPress: only digits and the date separators are typed.
        const auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (!typed.isEmpty() && typed.at(0).isPrint() && !position::productionNumberCharAccepted(typed.at(0)))
            return true;
    }
    if (DBLookupComboBoxProductionName != nullptr && watched == DBLookupComboBoxProductionName->view()->window()) {
        if (event->type() == QEvent::Show)
            DBLookupComboBoxProductionNameDropDown();
        else if (event->type() == QEvent::Hide)
            // The choice itself is written first.
            QTimer::singleShot(0, this, &TProductionForm::DBLookupComboBoxProductionNameCloseUp);
    }
    return QDialog::eventFilter(watched, event);
}

void TProductionForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TProductionForm::FormActivate()
{
    showRestInPackages(LabelRestVolume, DataSetProduction);
}

void TProductionForm::CalculateSomeFields()
{
    if (!recalculateRow(DataSetProduction, position::RowKind::Position, this))
        return;
    // Writes into fields tell no one: the displays are refreshed here.
    m_binding->refreshAll();
    FormActivate();
}

void TProductionForm::DBLookupComboBoxProductionNameDropDown()
{
    strLastComboBoxProductionName = DBLookupComboBoxProductionName->currentText();
}

void TProductionForm::DBLookupComboBoxProductionNameCloseUp()
{
    const int index = DBLookupComboBoxProductionName->currentIndex();
    const QString chosen = DBLookupComboBoxProductionName->currentText();
    if (!chosen.isEmpty() && chosen != strLastComboBoxProductionName && ClientDataSetProductionReference.isActive() &&
        index >= 0 && index < ClientDataSetProductionReference.recordCount() &&
        DBLookupComboBoxProductionName->commit()) {
        try {
            if (DataSetProduction.state() == Table::State::Browse)
                DataSetProduction.edit();
            position::copyFields(ClientDataSetProductionReference.row(index), DataSetProduction,
                                 position::referenceFields());
        } catch (const KalvorError &error) {
            MessageBoxes::error(this, error.message());
        }
        m_binding->refreshAll();
    }
    strLastComboBoxProductionName = chosen;
    CalculateSomeFields();
}

void TProductionForm::Button1Click()
{
    {
        TProductionReferenceForm form(m_setup.productionReferenceFileName, m_setup.productionFileName,
                                      m_setup.regionsFileName, this);
        form.exec();
    }
    // New products show in the list at once.
    ClientDataSetProductionReference.close();
    m_bookNotes.clear();
    const QString note = openRefBook(ClientDataSetProductionReference, m_setup.productionReferenceFileName,
                                     RefBook::ProductionReference);
    if (note.isEmpty())
        lblBooks->hide();
    DBLookupComboBoxProductionName->reloadItems();
}

QWidget *TProductionForm::entryFor(const QString &fieldName) const
{
    const QList<std::pair<QString, QWidget *>> all{
        {QStringLiteral("production_name"), DBEditProductionName},
        {QStringLiteral("production_number"), DBEditProductionNumber},
        {QStringLiteral("producer_name"), DBEditProducerName},
        {QStringLiteral("package_count"), DBEditPackageCount},
        {QStringLiteral("package_volume"), DBEditPackageVolume},
        {QStringLiteral("purches_price"), DBEditPurchesPrice},
        {QStringLiteral("return_volume"), DBEditReturnVolume},
        {QStringLiteral("package_count_charges"), DBEditPackageCountCharges},
        {QStringLiteral("markup"), DBEditMarkup},
        {QStringLiteral("return_volume_charges"), DBEditReturnVolumeCharges},
        {QStringLiteral("writeoff_volume_charges"), DBEditWriteVolumeCharges},
        {QStringLiteral("rest_volume"), DBEdit1},
        {QStringLiteral("department_code"), DBLookupComboBox1},
        {QStringLiteral("region_code"), DBLookupComboBox2},
        {QStringLiteral("production_code"), DBLookupComboBox3},
        {QStringLiteral("rest"), DBTextRest},
        {QStringLiteral("sum_coming"), DBTextSumComing}};
    for (const auto &[name, widget] : all)
        if (name == fieldName)
            return widget;
    return nullptr;
}

bool TProductionForm::ChekWarning()
{
    lblWarning->hide();
    const RowView row = DataSetProduction.currentRow();
    const int kindField = DataSetProduction.fieldIndex(u"production_code");
    const bool kindKnown = kindField >= 0 && referenceHasCode(ClientDataSetKindProduction, row.asString(kindField));
    const position::PositionCheck check = position::checkPosition(row, databool, kindKnown);
    for (const QString &name : position::checkedFields())
        if (QWidget *entry = entryFor(name))
            paintEntryMark(entry, check.warned.contains(name));
    lblWarning->setVisible(check.missingOrNegative);
    if (check.dateFormatRefused)
        MessageBoxes::information(this, QStringLiteral("Формат даты - дд.мм.гг/.../дд.мм.гг"));
    return check.passed();
}

bool TProductionForm::SaveButtonClick()
{
    if (!DataSetProduction.isActive() || !m_binding->commitAll())
        return false;
    if (position::zeroEmptyQuantities(DataSetProduction, position::positionQuantities()) > 0)
        m_binding->refreshAll();
    if (position::packageCountSuspicious(DataSetProduction.currentRow()))
        MessageBoxes::information(
            this, QStringLiteral("Возможно количество тары в приходе больше допустимого значения или меньше 0"));
    // Whatever the user left last, what is saved is what the arithmetic gives.
    CalculateSomeFields();
    if (!ChekWarning())
        return false;
    accept();
    return true;
}

} // namespace kalvor::gui
