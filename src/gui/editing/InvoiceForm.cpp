#include "gui/editing/InvoiceForm.h"

#include "app/Version.h"
#include "editing/DeclarationViews.h"
#include "editing/InvoiceEditing.h"
#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "store/KalvorError.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

const QColor kWarningColour(0xFF, 0x88, 0x00);

// Opens a reference book for a drop-down. A book that is missing, unreadable or empty leaves the list
// empty; the returned note says which file and that the values can be typed instead.
QString openReference(Table &table, const QString &fileName, const QString &order, const QString &bookName,
                      const QString &instead)
{
    table.setFileName(fileName);
    table.setIndexFieldNames(order);
    if (fileName.isEmpty() || !QFile::exists(fileName))
        return bookName + QStringLiteral(" не найден: ") + fileName + u'.' + instead;
    try {
        table.open();
    } catch (const KalvorError &error) {
        table.close();
        return error.message() + instead;
    }
    if (table.isEmpty())
        return bookName + QStringLiteral(" пуст: ") + fileName + u'.' + instead;
    return {};
}

QLabel *noteLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setVisible(!text.isEmpty());
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, Qt::darkRed);
    label->setPalette(look);
    return label;
}

QLabel *warningLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(look);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->hide();
    return label;
}

// The entry mark: white when the entry holds text, the warning colour when it is empty.
void paintEntry(QWidget *entry, bool warning)
{
    QPalette look = entry->palette();
    look.setColor(QPalette::Base, warning ? kWarningColour : QColor(Qt::white));
    entry->setPalette(look);
}

} // namespace

TInvoiceForm::TInvoiceForm(const Setup &setup, QWidget *parent)
    : QDialog(parent), INNYYMMCC(setup.stem), m_setup(setup)
{
    setObjectName(QStringLiteral("InvoiceForm"));
    setWindowTitle(QStringLiteral("Накладная"));
    // Fixed size, no title-bar buttons: the dialog is left through its own two buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    orderTabsWhenShown(this);
    DataSetInvoice.setFileName(setup.declarationFileName);
    DataSetInvoice.setIndexFieldNames(QStringLiteral("dkey"));
    // Invoice rows only, as the invoice view shows them.
    DataSetInvoice.setFilter([](const RowView &row) {
        const int field = row.fieldIndex(u"dkey");
        return field >= 0 && viewfilter::isInvoiceRow(row.utf8(field));
    });
    DataSetInvoice.setFiltered(true);
    m_binding = std::make_unique<DataBinding>(DataSetInvoice);
    buildLayout();
}

TInvoiceForm::~TInvoiceForm() = default;

void TInvoiceForm::buildLayout()
{
    const QString typeInstead = QStringLiteral(" Данные поставщика можно ввести вручную.");
    const QString supplierNote = openReference(ClientDataSetSupplier, m_setup.supplierFileName, QStringLiteral("name"),
                                               QStringLiteral("Справочник поставщиков"), typeInstead);
    const QString departmentNote =
        openReference(ClientDataSetDepartmentCode, m_setup.departmentFileName, QStringLiteral("code"),
                      QStringLiteral("Справочник обособленных подразделений"),
                      QStringLiteral(" Код подразделения выбрать не из чего."));

    DataBinding &b = *m_binding;
    DBLookupComboBox1 = new BoundLookupComboBox(b, QStringLiteral("supply_name"), ClientDataSetSupplier,
                                                QStringLiteral("name"), QStringLiteral("name"), this);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBEdit1 = new BoundLineEdit(b, QStringLiteral("supply_name"), this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit2 = new BoundLineEdit(b, QStringLiteral("license"), this);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    DBEdit3 = new BoundDateEdit(b, QStringLiteral("license_date"), this);
    DBEdit3->setObjectName(QStringLiteral("DBEdit3"));
    DBEdit4 = new BoundLineEdit(b, QStringLiteral("ttn_numer"), this);
    DBEdit4->setObjectName(QStringLiteral("DBEdit4"));
    DBEdit5 = new BoundDateEdit(b, QStringLiteral("ttn_date"), this);
    DBEdit5->setObjectName(QStringLiteral("DBEdit5"));
    DBEdit6 = new BoundLineEdit(b, QStringLiteral("loading_address"), this);
    DBEdit6->setObjectName(QStringLiteral("DBEdit6"));
    DBLookupComboBox2 = new BoundLookupComboBox(b, QStringLiteral("department_code"), ClientDataSetDepartmentCode,
                                                QStringLiteral("code"), QStringLiteral("address"), this);
    DBLookupComboBox2->setObjectName(QStringLiteral("DBLookupComboBox2"));
    lblSupplierBook = noteLabel(QStringLiteral("lblSupplierBook"), supplierNote, this);
    lblDepartmentBook = noteLabel(QStringLiteral("lblDepartmentBook"), departmentNote, this);
    lblWarning = warningLabel(QStringLiteral("lblWarning"), QStringLiteral("Заполните выделенные поля!"), this);
    LblWarningDate = warningLabel(QStringLiteral("LblWarningDate"), QStringLiteral("Некорректная дата!"), this);
    AddButton = new QPushButton(QStringLiteral("Сохранить"), this);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    AddButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Отмена"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    for (QWidget *date : {static_cast<QWidget *>(DBEdit3), static_cast<QWidget *>(DBEdit5)})
        date->setMaximumWidth(110);
    DBLookupComboBox1->setMinimumWidth(420);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(new QLabel(QStringLiteral("Выбор поставщика из справочника:"), this));
    main->addWidget(DBLookupComboBox1);
    main->addWidget(lblSupplierBook);

    auto *supplier = new QGroupBox(QStringLiteral("Поставщик"), this);
    auto *supplierLayout = new QVBoxLayout(supplier);
    supplierLayout->addWidget(new QLabel(QStringLiteral("Наименование"), supplier));
    supplierLayout->addWidget(DBEdit1);
    auto *licence = new QGroupBox(QStringLiteral("Лицензия"), supplier);
    auto *licenceLayout = new QGridLayout(licence);
    licenceLayout->addWidget(new QLabel(QStringLiteral("Серия, номер"), licence), 0, 0);
    licenceLayout->addWidget(DBEdit2, 1, 0);
    licenceLayout->addWidget(new QLabel(QStringLiteral("Дата получения"), licence), 0, 1);
    licenceLayout->addWidget(DBEdit3, 1, 1);
    licenceLayout->setColumnStretch(0, 1);
    supplierLayout->addWidget(licence);
    auto *waybill = new QGridLayout;
    waybill->addWidget(new QLabel(QStringLiteral("Номер ТТН"), supplier), 0, 0);
    waybill->addWidget(DBEdit4, 1, 0);
    waybill->addWidget(new QLabel(QStringLiteral("Дата ТТН"), supplier), 0, 1);
    waybill->addWidget(DBEdit5, 1, 1);
    waybill->setColumnStretch(0, 1);
    supplierLayout->addLayout(waybill);
    supplierLayout->addWidget(new QLabel(QStringLiteral("Адрес погрузки"), supplier));
    supplierLayout->addWidget(DBEdit6);
    main->addWidget(supplier);

    main->addWidget(new QLabel(QStringLiteral("Код обособленного подразделения"), this));
    main->addWidget(new QLabel(QStringLiteral("(куда поступает продукция от поставщика)"), this));
    main->addWidget(DBLookupComboBox2);
    main->addWidget(lblDepartmentBook);
    main->addWidget(lblWarning);
    main->addWidget(LblWarningDate);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(AddButton);
    buttons->addWidget(CancelButton);
    main->addLayout(buttons);

    // The drop-down's list closing (a choice or not) copies the supplier's licence and address; the
    // copy waits for the choice itself to be written.
    DBLookupComboBox1->view()->window()->installEventFilter(this);
    // A choice made with the keys or the wheel copies them too.
    connect(DBLookupComboBox1, &BoundLookupComboBox::chosenWithoutList, this, &TInvoiceForm::DBLookupComboBox1CloseUp);
    connect(AddButton, &QPushButton::clicked, this, &TInvoiceForm::AddButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TInvoiceForm::reject);
}

bool TInvoiceForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched == DBLookupComboBox1->view()->window())
        QTimer::singleShot(0, this, &TInvoiceForm::DBLookupComboBox1CloseUp);
    return QDialog::eventFilter(watched, event);
}

void TInvoiceForm::openDataSetInvoice()
{
    DataSetInvoice.open();
    m_binding->refreshAll();
}

void TInvoiceForm::startNew()
{
    openDataSetInvoice();
    // The highest invoice number gives the next; it is refused before anything is inserted.
    const int last = invoice::highestInvoiceNumber(DataSetInvoice);
    strInvoiceLastNumber = QString::number(last).rightJustified(6, u'0');
    const QString key = invoice::newInvoiceKey(DataSetInvoice, INNYYMMCC);
    DataSetInvoice.append();
    DataSetInvoice.setString(u"dkey", key);
    // Appending tells no one: the entries would still show the invoice the table opened on.
    m_binding->refreshAll();
}

void TInvoiceForm::startEdit(int recNo)
{
    openDataSetInvoice();
    if (recNo < 1 || recNo > DataSetInvoice.recordCount())
        throw KalvorError(QStringLiteral("Накладная не выбрана"));
    DataSetInvoice.setRecNo(recNo);
}

void TInvoiceForm::DBLookupComboBox1CloseUp()
{
    const int index = DBLookupComboBox1->currentIndex();
    if (!ClientDataSetSupplier.isActive() || !DataSetInvoice.isActive() || index < 0
        || index >= ClientDataSetSupplier.recordCount())
        return;
    if (!DBLookupComboBox1->commit())
        return;
    const RowView supplier = ClientDataSetSupplier.row(index);
    try {
        if (DataSetInvoice.state() == Table::State::Browse)
            DataSetInvoice.edit();
        const auto copyText = [&](QStringView from, QStringView to) {
            const int field = supplier.fieldIndex(from);
            if (field < 0 || supplier.isNull(field))
                DataSetInvoice.setNull(to);
            else
                DataSetInvoice.setString(to, supplier.asString(field));
        };
        copyText(u"license", u"license");
        copyText(u"loading_address", u"loading_address");
        const int dateField = supplier.fieldIndex(u"license_date");
        if (dateField < 0 || supplier.isNull(dateField))
            DataSetInvoice.setNull(u"license_date");
        else
            DataSetInvoice.setDate(u"license_date", supplier.asDate(dateField));
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
    }
    m_binding->refreshAll();
}

bool TInvoiceForm::ChekWarning()
{
    const QStringList empty = invoice::emptyRequiredFields(DataSetInvoice.currentRow());
    for (BoundLineEdit *entry : {DBEdit1, DBEdit2, static_cast<BoundLineEdit *>(DBEdit3), DBEdit4,
                                 static_cast<BoundLineEdit *>(DBEdit5), DBEdit6})
        paintEntry(entry, empty.contains(entry->fieldName()));
    lblWarning->setVisible(!empty.isEmpty());
    return !empty.isEmpty();
}

bool TInvoiceForm::AddButtonClick()
{
    if (!DataSetInvoice.isActive() || !m_binding->commitAll())
        return false;
    paintEntry(DBEdit5, false);
    LblWarningDate->hide();
    if (ChekWarning())
        return false;
    if (invoice::waybillDateRefused(DataSetInvoice.asDate(u"ttn_date"), m_setup.declarationYear,
                                    m_setup.declarationMonth)) {
        LblWarningDate->show();
        paintEntry(DBEdit5, true);
        return false;
    }
    try {
        const int version = DataSetInvoice.fieldIndex(u"version");
        if (version >= 0 && invoice::isFirstInvoiceKey(DataSetInvoice.asString(u"dkey"))) {
            if (DataSetInvoice.state() == Table::State::Browse)
                DataSetInvoice.edit();
            DataSetInvoice.setString(version, versionFieldValue(m_setup.versionText));
        }
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
        return false;
    }
    accept();
    return true;
}

} // namespace kalvor::gui
