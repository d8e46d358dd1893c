#include "gui/refbooks/DepartmentCodeForms.h"

#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "gui/common/DialogButtons.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace kalvor::gui {

// --- TChangeDepartmentCodeForm -------------------------------------------------------------------

TChangeDepartmentCodeForm::TChangeDepartmentCodeForm(const QString &departmentFileName, EntryMode mode, int recNo,
                                                     QWidget *parent)
    : QDialog(parent), DataSetDepartmentCode(std::make_unique<Table>())
{
    setObjectName(QStringLiteral("ChangeDepartmentCodeForm"));
    setWindowTitle(QStringLiteral("Код обособленного подразделения"));
    orderTabsWhenShown(this);
    beginEntry(*DataSetDepartmentCode, departmentFileName, RefBook::DepartmentCode, mode, recNo);
    m_binding = std::make_unique<DataBinding>(*DataSetDepartmentCode);

    DBEditCode = new BoundLineEdit(*m_binding, QStringLiteral("code"));
    DBEditCode->setObjectName(QStringLiteral("DBEditCode"));
    // A subdivision code is digits; anything else could never match the codes of the declaration.
    DBEditCode->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), DBEditCode));
    DBEditCode->setMaximumWidth(220);
    DBEditAddress = new BoundLineEdit(*m_binding, QStringLiteral("address"));
    DBEditAddress->setObjectName(QStringLiteral("DBEditAddress"));
    DBEditAddress->setMinimumWidth(440);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    auto *codeLabel = new QLabel(QStringLiteral("Код обособленного подразделения"));
    codeLabel->setBuddy(DBEditCode);
    main->addWidget(codeLabel);
    main->addWidget(DBEditCode);
    main->addSpacing(4);
    auto *addressLabel = new QLabel(QStringLiteral("Адрес обособленного подразделения"));
    addressLabel->setBuddy(DBEditAddress);
    main->addWidget(addressLabel);
    main->addWidget(DBEditAddress);

    QHBoxLayout *buttons = saveCancelRow(QStringLiteral("ButtonSave"), QStringLiteral("ButtonCancel"), ButtonSave, ButtonCancel);
    main->addSpacing(6);
    main->addLayout(buttons);

    connect(ButtonSave, &QPushButton::clicked, this, &TChangeDepartmentCodeForm::SaveClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TChangeDepartmentCodeForm::~TChangeDepartmentCodeForm() = default;

void TChangeDepartmentCodeForm::SaveClick()
{
    if (m_binding->commitAll())
        accept();
}

// --- TDepartmentCodeForm -------------------------------------------------------------------------

TDepartmentCodeForm::TDepartmentCodeForm(const QString &departmentFileName, const QString &kalvorFileName,
                                         QWidget *parent)
    : RefBookWindow(RefBook::DepartmentCode, departmentFileName,
                    {{QStringLiteral("code"), QStringLiteral("Код обособленного подразделения")},
                     {QStringLiteral("address"), QStringLiteral("Адрес")}},
                    parent),
      DepartmentCodeFileName(departmentFileName), ClientDataSetKalvor(std::make_unique<Table>(kalvorFileName))
{
    setObjectName(QStringLiteral("DepartmentCodeForm"));
    setWindowTitle(QStringLiteral("Обособленные подразделения"));
    ClientDataSetDepartmentCode = &bookTable();
    DBGrid1 = bookGrid();

    try {
        ClientDataSetKalvor->open();
        ClientDataSetKalvor->setReadOnly(ClientDataSetKalvor->requireField(u"dkey"), true);
        ClientDataSetKalvor->first();
    } catch (const KalvorError &error) {
        ClientDataSetKalvor->close();
        m_kalvorProblem = QStringLiteral("Не удалось прочитать реквизиты, число обособленных подразделений неизвестно.\n")
            + error.message();
        addProblem(m_kalvorProblem);
    }
    m_kalvorBinding = std::make_unique<DataBinding>(*ClientDataSetKalvor);

    AddDepartmentAction = new QAction(QStringLiteral("Добавить"), this);
    AddDepartmentAction->setObjectName(QStringLiteral("AddDepartmentAction"));
    AddDepartmentAction->setToolTip(QStringLiteral("Добавить обособленное подразделение"));
    EditDepartmentAction = new QAction(QStringLiteral("Изменить"), this);
    EditDepartmentAction->setObjectName(QStringLiteral("EditDepartmentAction"));
    EditDepartmentAction->setToolTip(QStringLiteral("Редактировать обособленное подразделение"));
    DeleteDepartmentAction = new QAction(QStringLiteral("Удалить"), this);
    DeleteDepartmentAction->setObjectName(QStringLiteral("DeleteDepartmentAction"));
    DeleteDepartmentAction->setToolTip(QStringLiteral("Удалить обособленное подразделение"));
    SpeedButtonAddDepartment = addToolButton(AddDepartmentAction, QStringLiteral("SpeedButtonAddDepartment"));
    SpeedButtonEditDepartment = addToolButton(EditDepartmentAction, QStringLiteral("SpeedButtonEditDepartment"));
    SpeedButtonDeleteDepartment = addToolButton(DeleteDepartmentAction, QStringLiteral("SpeedButtonDeleteDepartment"));

    DBText1 = new BoundLabel(*m_kalvorBinding, QStringLiteral("department_count"), this);
    DBText1->setObjectName(QStringLiteral("DBText1"));
    DBText1->hide();
    DBEdit1 = new BoundLineEdit(*m_kalvorBinding, QStringLiteral("department_count"), this);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setReadOnly(true);
    DBEdit1->hide();

    finishLayout(QStringLiteral("DBGrid1"));
    DBGrid1->setColumnWidth(0, 240);
    resize(720, 360);

    connect(AddDepartmentAction, &QAction::triggered, this, &TDepartmentCodeForm::AddDepartmentActionExecute);
    connect(EditDepartmentAction, &QAction::triggered, this, &TDepartmentCodeForm::EditDepartmentActionExecute);
    connect(DeleteDepartmentAction, &QAction::triggered, this, &TDepartmentCodeForm::DeleteDepartmentActionExecute);
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] {
        if (EditDepartmentAction->isEnabled())
            EditDepartmentActionExecute();
    });
    ClientDataSetDepartmentCodeAfterOpen();
}

TDepartmentCodeForm::~TDepartmentCodeForm() = default;

void TDepartmentCodeForm::ClientDataSetDepartmentCodeAfterOpen()
{
    const bool rows = canEditOrDelete(*ClientDataSetDepartmentCode);
    EditDepartmentAction->setEnabled(rows);
    DeleteDepartmentAction->setEnabled(rows);
}

void TDepartmentCodeForm::runEntry(EntryMode mode)
{
    try {
        TChangeDepartmentCodeForm form(DepartmentCodeFileName, mode, ClientDataSetDepartmentCode->recNo(), this);
        if (form.exec() == QDialog::Accepted)
            storeEntry(*form.DataSetDepartmentCode);
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
    }
}

void TDepartmentCodeForm::AddDepartmentActionExecute()
{
    if (!m_kalvorProblem.isEmpty()) {
        MessageBoxes::error(this, m_kalvorProblem);
        return;
    }
    const int subdivisions = ClientDataSetDepartmentCode->isActive() ? ClientDataSetDepartmentCode->recordCount() : 0;
    const QString refusal = departmentLimitRefusal(subdivisions, departmentCountOf(*ClientDataSetKalvor));
    if (!refusal.isEmpty()) {
        MessageBoxes::information(this, refusal);
        return;
    }
    runEntry(EntryMode::Add);
}

void TDepartmentCodeForm::EditDepartmentActionExecute()
{
    if (canEditOrDelete(*ClientDataSetDepartmentCode))
        runEntry(EntryMode::Edit);
}

void TDepartmentCodeForm::DeleteDepartmentActionExecute() { deleteCurrent(); }

} // namespace kalvor::gui
