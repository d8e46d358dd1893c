#include "gui/refbooks/SupplierForms.h"

#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "gui/common/DialogButtons.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kalvor::gui {

// --- TChangeSupplierForm -------------------------------------------------------------------------

TChangeSupplierForm::TChangeSupplierForm(const QString &supplierFileName, EntryMode mode, int recNo, QWidget *parent)
    : QDialog(parent), ClientDataSet1(std::make_unique<Table>())
{
    setObjectName(QStringLiteral("ChangeSupplierForm"));
    setWindowTitle(QStringLiteral("Поставщик"));
    orderTabsWhenShown(this);
    beginEntry(*ClientDataSet1, supplierFileName, RefBook::Supplier, mode, recNo);
    m_binding = std::make_unique<DataBinding>(*ClientDataSet1);

    DataBinding &b = *m_binding;
    DBEditName = new BoundLineEdit(b, QStringLiteral("name"));
    DBEditName->setObjectName(QStringLiteral("DBEditName"));
    DBEditLicense = new BoundLineEdit(b, QStringLiteral("license"));
    DBEditLicense->setObjectName(QStringLiteral("DBEditLicense"));
    DBEditLicenseDate = new BoundDateEdit(b, QStringLiteral("license_date"));
    DBEditLicenseDate->setObjectName(QStringLiteral("DBEditLicenseDate"));
    DBEditLicenseDate->setMaximumWidth(110);
    DBEditLoadingAddress = new BoundLineEdit(b, QStringLiteral("loading_address"));
    DBEditLoadingAddress->setObjectName(QStringLiteral("DBEditLoadingAddress"));
    DBEditName->setMinimumWidth(420);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(new QLabel(QStringLiteral("Наименование")));
    main->addWidget(DBEditName);
    auto *licence = new QGroupBox(QStringLiteral("Лицензия"));
    licence->setObjectName(QStringLiteral("GroupBoxLicense"));
    auto *form = new QFormLayout(licence);
    form->addRow(QStringLiteral("Серия, номер"), DBEditLicense);
    form->addRow(QStringLiteral("Дата получения"), DBEditLicenseDate);
    main->addWidget(licence);
    main->addWidget(new QLabel(QStringLiteral("Адрес погрузки")));
    main->addWidget(DBEditLoadingAddress);

    QHBoxLayout *buttons = saveCancelRow(QStringLiteral("ButtonSave"), QStringLiteral("ButtonCancel"), ButtonSave, ButtonCancel);
    main->addSpacing(6);
    main->addLayout(buttons);

    connect(ButtonSave, &QPushButton::clicked, this, &TChangeSupplierForm::SaveClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TChangeSupplierForm::~TChangeSupplierForm() = default;

void TChangeSupplierForm::SaveClick()
{
    // No checks beyond the fields' own: a wrong date keeps the dialog open.
    if (m_binding->commitAll())
        accept();
}

// --- TSupplierForm -------------------------------------------------------------------------------

TSupplierForm::TSupplierForm(const QString &supplierFileName, QWidget *parent)
    : RefBookWindow(RefBook::Supplier, supplierFileName,
                    {{QStringLiteral("name"), QStringLiteral("Наименование")},
                     {QStringLiteral("license"), QStringLiteral("Лицензия (серия, номер)")},
                     {QStringLiteral("license_date"), QStringLiteral("Дата получения лицензии")},
                     {QStringLiteral("loading_address"), QStringLiteral("Адрес погрузки")}},
                    parent),
      SupplierFileName(supplierFileName)
{
    setObjectName(QStringLiteral("SupplierForm"));
    setWindowTitle(QStringLiteral("Поставщики"));
    DataSetSupplier = &bookTable();
    DBGridSupplier = bookGrid();

    AddSupplierAction = new QAction(QStringLiteral("Добавить"), this);
    AddSupplierAction->setObjectName(QStringLiteral("AddSupplierAction"));
    AddSupplierAction->setToolTip(QStringLiteral("Добавить поставщика"));
    EditSupplierAction = new QAction(QStringLiteral("Изменить"), this);
    EditSupplierAction->setObjectName(QStringLiteral("EditSupplierAction"));
    EditSupplierAction->setToolTip(QStringLiteral("Редактировать поставщика"));
    DeleteSupplierAction = new QAction(QStringLiteral("Удалить"), this);
    DeleteSupplierAction->setObjectName(QStringLiteral("DeleteSupplierAction"));
    DeleteSupplierAction->setToolTip(QStringLiteral("Удалить поставщика"));
    addToolButton(AddSupplierAction, QStringLiteral("SpeedButtonAddSupplier"));
    addToolButton(EditSupplierAction, QStringLiteral("SpeedButtonEditSupplier"));
    addToolButton(DeleteSupplierAction, QStringLiteral("SpeedButtonDeleteSupplier"));

    LabelInfo = new QLabel(QStringLiteral(
        "Справочник ведёте вы сами: внесите поставщиков, у которых закупаете продукцию, с их действующими "
        "лицензиями. Справочник поставщиков региона с действующими лицензиями поставляется органом, "
        "принимающим декларации; полный перечень будет опубликован на его сайте."));
    LabelInfo->setObjectName(QStringLiteral("LabelInfo"));
    LabelInfo->setWordWrap(true);
    mainLayout()->addWidget(LabelInfo);
    finishLayout(QStringLiteral("DBGridSupplier"));
    resize(820, 460);

    connect(AddSupplierAction, &QAction::triggered, this, &TSupplierForm::AddSupplierActionExecute);
    connect(EditSupplierAction, &QAction::triggered, this, &TSupplierForm::EditSupplierActionExecute);
    connect(DeleteSupplierAction, &QAction::triggered, this, &TSupplierForm::DeleteSupplierActionExecute);
    connect(DBGridSupplier, &QTableView::doubleClicked, this, [this] {
        if (EditSupplierAction->isEnabled())
            EditSupplierActionExecute();
    });
    DataSetSupplierAfterOpen();
}

void TSupplierForm::DataSetSupplierAfterOpen()
{
    const bool rows = canEditOrDelete(*DataSetSupplier);
    EditSupplierAction->setEnabled(rows);
    DeleteSupplierAction->setEnabled(rows);
}

void TSupplierForm::runEntry(EntryMode mode)
{
    try {
        TChangeSupplierForm form(SupplierFileName, mode, DataSetSupplier->recNo(), this);
        if (form.exec() == QDialog::Accepted)
            storeEntry(*form.ClientDataSet1);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
    }
}

void TSupplierForm::AddSupplierActionExecute() { runEntry(EntryMode::Add); }

void TSupplierForm::EditSupplierActionExecute()
{
    if (canEditOrDelete(*DataSetSupplier))
        runEntry(EntryMode::Edit);
}

void TSupplierForm::DeleteSupplierActionExecute() { deleteCurrent(); }

} // namespace kalvor::gui
