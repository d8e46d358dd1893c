#include "gui/editing/InnerTransferForm.h"

#include "editing/PositionEditing.h"
#include "editing/TransferEditing.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "gui/editing/ChargesGroup.h"
#include "gui/editing/EntryMarks.h"
#include "gui/editing/EntryWidgets.h"
#include "refbooks/RefBooks.h"
#include "store/KalvorError.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kalvor::gui {

TInnerTransferForm::TInnerTransferForm(const Setup &setup, QWidget *parent) : QDialog(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("InnerTransferForm"));
    setWindowTitle(QStringLiteral("Внутреннее перемещение"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    DataSetInnerTransfer.setFileName(setup.declarationFileName);
    DataSetInnerTransfer.setIndexFieldNames(QStringLiteral("dkey"));
    DataSetInnerTransfer.setFilter([this](const RowView &row) { return transfer::isTransferOf(row, ProductionDKey); });
    DataSetInnerTransfer.setFiltered(true);
    // Goods cannot move to the subdivision that sends them.
    ClientDataSetDepartmentCode.setFilter([this](const RowView &row) {
        const int field = row.fieldIndex(u"code");
        return field < 0 || row.asString(field).trimmed() != codeValue.trimmed();
    });
    m_binding = std::make_unique<DataBinding>(DataSetInnerTransfer);
}

TInnerTransferForm::~TInnerTransferForm() = default;

void TInnerTransferForm::open(const RowView &invoice, const RowView &source)
{
    InvoiceDKey = invoice.asString(invoice.fieldIndex(u"dkey"));
    ProductionDKey = source.asString(source.fieldIndex(u"dkey"));
    if (ProductionDKey.isEmpty())
        throw KalvorError(QStringLiteral("Продукция не выбрана"));
    DataSetInnerTransfer.open();
    codeValue = source.asString(source.fieldIndex(u"department_code"));
    ClientDataSetDepartmentCode.setFiltered(!codeValue.trimmed().isEmpty());
    m_departmentNote = openRefBook(ClientDataSetDepartmentCode, m_setup.departmentFileName, RefBook::DepartmentCode);
    if (m_departmentNote.isEmpty() && ClientDataSetDepartmentCode.isEmpty())
        m_departmentNote = QStringLiteral("В справочнике обособленных подразделений нет подразделения, "
                                          "кроме отправляющего: перемещать некуда.");
}

void TInnerTransferForm::startNew(const RowView &invoice, const RowView &source)
{
    open(invoice, source);
    const int last = transfer::lastTransferNumber(DataSetInnerTransfer);
    strTransferLastNumber = QString::number(last).rightJustified(2, u'0');
    const QString key = transfer::newTransferKey(DataSetInnerTransfer, ProductionDKey);
    buildLayout();
    DataSetInnerTransfer.append();
    DataSetInnerTransfer.setString(u"dkey", key);
    transfer::fillFromSource(DataSetInnerTransfer, source);
    m_binding->refreshAll();
}

void TInnerTransferForm::startEdit(const RowView &invoice, const RowView &source, int recNo)
{
    open(invoice, source);
    if (recNo < 1 || recNo > DataSetInnerTransfer.recordCount())
        throw KalvorError(QStringLiteral("Внутреннее перемещение не выбрано"));
    buildLayout();
    DataSetInnerTransfer.setRecNo(recNo);
    const RowView row = DataSetInnerTransfer.currentRow();
    oldOtherComing = row.asFloat(row.fieldIndex(u"other_coming"));
    DataSetInnerTransfer.edit();
    m_binding->refreshAll();
    // A count that is not whole is shown as it is; saving then asks for a whole one.
    const QSignalBlocker blocker(Edit1);
    Edit1->setText(transfer::packageCountText(DataSetInnerTransfer.currentRow()));
}

void TInnerTransferForm::buildLayout()
{
    DataBinding &b = *m_binding;
    const auto edit = [this, &b](const char *name, const QString &field) { return boundEdit(b, name, field, this); };
    const auto text = [this, &b](const char *name, const QString &field) { return boundText(b, name, field, this); };
    const auto caption = [this](const QString &t) { return new QLabel(t, this); };

    DBText1 = text("DBText1", QStringLiteral("other_coming"));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaximumWidth(90);
    DBLookupComboBox1 = new BoundLookupComboBox(b, QStringLiteral("department_code"), ClientDataSetDepartmentCode,
                                                QStringLiteral("code"), QStringLiteral("address"), this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setMinimumWidth(360);
    DBTextOtherComing = text("DBTextOtherComing", QStringLiteral("other_coming"));
    DBTextDepartmentCodeInner = text("DBTextDepartmentCodeInner", QStringLiteral("department_code_inner"));
    DBEditPackageCountCharges = edit("DBEditPackageCountCharges", QStringLiteral("package_count_charges"));
    DBTextVolumeCharges = text("DBTextVolumeCharges", QStringLiteral("volume_charges"));
    DBEditMarkup = edit("DBEditMarkup", QStringLiteral("markup"));
    DBEditMarkup->hide();
    DBTextSumCharges = text("DBTextSumCharges", QStringLiteral("sum_charges"));
    DBTextSumCharges->hide();
    DBEditReturnVolumeCharges = edit("DBEditReturnVolumeCharges", QStringLiteral("return_volume_charges"));
    DBEditWriteVolumeCharges = edit("DBEditWriteVolumeCharges", QStringLiteral("writeoff_volume_charges"));
    DBEdit1 = edit("DBEdit1", QStringLiteral("rest_volume"));
    LabelRestVolume = restInPackagesLabel(this);
    DBTextRest = text("DBTextRest", QStringLiteral("rest"));
    lblDepartmentBook = new QLabel(m_departmentNote, this);
    lblDepartmentBook->setObjectName(QStringLiteral("lblDepartmentBook"));
    lblDepartmentBook->setWordWrap(true);
    lblDepartmentBook->setVisible(!m_departmentNote.isEmpty());
    ButtonSave = new QPushButton(QStringLiteral("Сохранить"), this);
    ButtonSave->setObjectName(QStringLiteral("ButtonSave"));
    ButtonSave->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(caption(QStringLiteral("Куда")));
    auto *out = new QGroupBox(QStringLiteral("Расход за отчетный месяц с обособленного подразделения"), this);
    auto *outLayout = new QGridLayout(out);
    auto *litres = new QHBoxLayout;
    litres->addWidget(caption(QStringLiteral("Прочий расход (")));
    litres->addWidget(DBText1);
    litres->addWidget(caption(QStringLiteral("л.)")));
    litres->addSpacing(12);
    litres->addWidget(Edit1);
    litres->addWidget(caption(QStringLiteral("шт.")));
    litres->addStretch();
    outLayout->addLayout(litres, 0, 0);
    outLayout->addWidget(caption(QStringLiteral("Код обособленного подразделения")), 1, 0);
    outLayout->addWidget(DBLookupComboBox1, 2, 0);
    outLayout->addWidget(lblDepartmentBook, 3, 0);
    main->addWidget(out);

    main->addWidget(caption(QStringLiteral("Откуда")));
    auto *in = new QGroupBox(QStringLiteral("Приход за отчетный месяц в обособленное подразделение"), this);
    auto *inLayout = new QGridLayout(in);
    inLayout->addWidget(caption(QStringLiteral("Прочий приход (литров)")), 0, 0);
    inLayout->addWidget(DBTextOtherComing, 0, 1);
    inLayout->addWidget(caption(QStringLiteral("Код обособленного подразделения")), 1, 0);
    inLayout->addWidget(DBTextDepartmentCodeInner, 1, 1);
    inLayout->setColumnStretch(2, 1);
    main->addWidget(in);

    main->addWidget(chargesGroup(QStringLiteral("Расход для внутреннего перемещения"),
                                 {DBEditPackageCountCharges, DBTextVolumeCharges, DBEditMarkup, DBTextSumCharges,
                                  DBEditReturnVolumeCharges, DBEditWriteVolumeCharges},
                                 this));

    QGridLayout *rest = openingRestRows(DBEdit1, LabelRestVolume, this);
    rest->addWidget(caption(QStringLiteral("Остаток на конец отчетного периода (л.)")), 2, 0);
    rest->addWidget(DBTextRest, 2, 1);
    rest->setColumnStretch(2, 1);
    main->addLayout(rest);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonSave);
    buttons->addWidget(ButtonCancel);
    main->addLayout(buttons);

    // Every entry that takes part in the balance recomputes it when left, so the remains shown are
    // always those that will be saved.
    for (BoundLineEdit *e :
         {DBEditPackageCountCharges, DBEditMarkup, DBEdit1, DBEditReturnVolumeCharges, DBEditWriteVolumeCharges})
        connect(e, &BoundLineEdit::left, this, &TInnerTransferForm::CalculateSomeFields);
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, &TInnerTransferForm::Edit1Change);
    connect(ButtonSave, &QPushButton::clicked, this, &TInnerTransferForm::ButtonSaveClick);
    orderTabsWhenShown(this);
    connect(ButtonCancel, &QPushButton::clicked, this, &TInnerTransferForm::reject);
}

bool TInnerTransferForm::eventFilter(QObject *watched, QEvent *event)
{
    if (Edit1 != nullptr && watched == Edit1 && event->type() == QEvent::KeyPress) {
        // Edit1KeyPress: the count of packages is typed in digits.
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (!typed.isEmpty() && typed.at(0).isPrint() && !typed.at(0).isDigit())
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TInnerTransferForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TInnerTransferForm::FormActivate()
{
    showRestInPackages(LabelRestVolume, DataSetInnerTransfer);
}

void TInnerTransferForm::Edit1Change()
{
    const std::optional<qint64> count = transfer::packageCountOf(Edit1->text());
    if (!count || !DataSetInnerTransfer.isActive())
        return;
    try {
        if (DataSetInnerTransfer.state() == Table::State::Browse)
            DataSetInnerTransfer.edit();
        transfer::storePackageCount(DataSetInnerTransfer, *count);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
        return;
    }
    CalculateSomeFields();
}

void TInnerTransferForm::CalculateSomeFields()
{
    if (!recalculateRow(DataSetInnerTransfer, position::RowKind::Transfer, this))
        return;
    // Writes into fields tell no one: the displays are refreshed here.
    m_binding->refreshAll();
    FormActivate();
}

bool TInnerTransferForm::ButtonSaveClick()
{
    if (!DataSetInnerTransfer.isActive() || !m_binding->commitAll())
        return false;
    if (position::zeroEmptyQuantities(DataSetInnerTransfer, position::transferQuantities()) > 0)
        m_binding->refreshAll();
    CalculateSomeFields();
    const transfer::TransferCheck check = transfer::checkTransfer(DataSetInnerTransfer.currentRow(), Edit1->text());
    paintEntryMark(Edit1, check.packageCountEmpty || check.packageCountNotWhole);
    paintEntryMark(DBEditPackageCountCharges, check.packageCountChargesBad);
    paintEntryMark(DBEditReturnVolumeCharges, check.returnVolumeChargesBad);
    paintEntryMark(DBEdit1, check.restVolumeEmpty);
    paintEntryMark(DBTextRest, check.restNegative);
    paintEntryMark(DBLookupComboBox1, check.departmentMissing || check.departmentNotNumber);
    if (check.packageCountNotWhole)
        MessageBoxes::information(this, transfer::packageCountNotWholeMessage());
    else if (check.departmentNotNumber)
        MessageBoxes::information(
            this, transfer::departmentNotNumberMessage(DataSetInnerTransfer.asString(u"department_code")));
    if (!check.passed())
        return false;
    accept();
    return true;
}

} // namespace kalvor::gui
