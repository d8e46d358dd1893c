#include "gui/EssentialForm.h"

#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "gui/common/TabOrder.h"
#include "gui/editing/EntryMarks.h"
#include "store/KalvorError.h"
#include "store/TKalvor.h"
#include "store/Table.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

QLabel *captionFor(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

TEssentialForm::TEssentialForm(const QString &fileName, QWidget *parent)
    : QDialog(parent), m_ownTable(std::make_unique<Table>(fileName))
{
    ClientDataSetKalvor = m_ownTable.get();
    ClientDataSetKalvor->open();
    setUpTable();
    buildLayout();
}

TEssentialForm::TEssentialForm(Table &table, QWidget *parent) : QDialog(parent), ClientDataSetKalvor(&table)
{
    setUpTable();
    buildLayout();
}

TEssentialForm::~TEssentialForm() = default;

void TEssentialForm::setUpTable()
{
    Table &table = *ClientDataSetKalvor;
    if (!table.isActive())
        table.open();
    // The template holds no row yet: the entry starts one, which only a save keeps.
    if (table.isEmpty())
        table.append();
    else
        table.first();
    m_binding = std::make_unique<DataBinding>(table);
}

void TEssentialForm::buildLayout()
{
    setObjectName(QStringLiteral("EssentialForm"));
    setWindowTitle(QStringLiteral("Сведения о Калворе"));
    // A title bar with the close box only: no system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    DataBinding &b = *m_binding;
    organization_name = new BoundLineEdit(b, QStringLiteral("organization_name"));
    dkey = new BoundLineEdit(b, QStringLiteral("dkey"));
    low_address = new BoundLineEdit(b, QStringLiteral("low_address"));
    post_address = new BoundLineEdit(b, QStringLiteral("post_address"));
    department_count = new BoundLineEdit(b, QStringLiteral("department_count"));
    license_serial = new BoundLineEdit(b, QStringLiteral("license_serial"));
    license_number = new BoundLineEdit(b, QStringLiteral("license_number"));
    license_date = new BoundDateEdit(b, QStringLiteral("license_date"));
    license_deadline = new BoundDateEdit(b, QStringLiteral("license_deadline"));
    name_leader = new BoundLineEdit(b, QStringLiteral("name_leader"));
    name_counter = new BoundLineEdit(b, QStringLiteral("name_counter"));

    // An INN is digits only; typing anything else would only be refused on saving.
    dkey->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), dkey));
    dkey->setMaximumWidth(160);
    department_count->setMaximumWidth(80);
    for (QLineEdit *date : {static_cast<QLineEdit *>(license_date), static_cast<QLineEdit *>(license_deadline)})
        date->setMaximumWidth(110);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    const auto addEntry = [main](const QString &caption, QWidget *edit) {
        main->addWidget(captionFor(caption, edit));
        main->addWidget(edit);
        main->addSpacing(4);
    };
    addEntry(QStringLiteral("Наименование организации"), organization_name);
    addEntry(QStringLiteral("ИНН"), dkey);
    addEntry(QStringLiteral("Юридический адрес (адрес государственной регистрации)"), low_address);
    addEntry(QStringLiteral("Почтовый адрес, телефон"), post_address);

    main->addWidget(captionFor(QStringLiteral("Количество обособленных подразделений"), department_count));
    auto *note = new QLabel(QStringLiteral("(количество  в соответствии с порядком представления  декларации)"));
    note->setObjectName(QStringLiteral("department_note"));
    main->addWidget(note);
    main->addWidget(department_count);
    main->addSpacing(4);

    auto *licence = new QGroupBox(QStringLiteral("Лицензия"));
    licence->setObjectName(QStringLiteral("GroupBoxLicense"));
    auto *grid = new QGridLayout(licence);
    grid->addWidget(captionFor(QStringLiteral("Серия"), license_serial), 0, 0);
    grid->addWidget(license_serial, 1, 0);
    grid->addWidget(captionFor(QStringLiteral("Номер"), license_number), 0, 1);
    grid->addWidget(license_number, 1, 1);
    grid->addWidget(captionFor(QStringLiteral("Дата получения"), license_date), 2, 0);
    grid->addWidget(license_date, 3, 0, Qt::AlignLeft);
    grid->addWidget(captionFor(QStringLiteral("Срок действия (дата окончания)"), license_deadline), 2, 1);
    grid->addWidget(license_deadline, 3, 1, Qt::AlignLeft);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    main->addWidget(licence);
    main->addSpacing(4);

    addEntry(QStringLiteral("Руководитель организации (Ф.И.О.)"), name_leader);
    addEntry(QStringLiteral("Главный бухгалтер (Ф.И.О.)"), name_counter);

    Save = new QPushButton(QStringLiteral("Сохранить"));
    Save->setObjectName(QStringLiteral("Save"));
    Save->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Отмена"));
    Cancel->setObjectName(QStringLiteral("Cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Save);
    buttons->addWidget(Cancel);
    main->addSpacing(6);
    main->addLayout(buttons);

    // Wide enough for a full name or address without scrolling.
    organization_name->setMinimumWidth(520);

    connect(Save, &QPushButton::clicked, this, &TEssentialForm::SaveClick);
    orderTabsWhenShown(this);
    connect(Cancel, &QPushButton::clicked, this, &TEssentialForm::reject);
}

void TEssentialForm::setCancelEnabled(bool enabled) { Cancel->setEnabled(enabled); }

void TEssentialForm::setInnReadOnly(bool readOnly)
{
    ClientDataSetKalvor->setReadOnly(ClientDataSetKalvor->requireField(u"dkey"), readOnly);
    dkey->refresh();
}

bool TEssentialForm::SaveMouseDown()
{
    if (!m_binding->commitAll())
        return false;
    // The entries that keep the requisites from being saved are marked, as in the other entry dialogs.
    const QStringList faults = requisitesFaults(requisitesEntryOf(ClientDataSetKalvor->currentRow()));
    bool refused = false;
    for (BoundLineEdit *entry : {organization_name, dkey, low_address, post_address, department_count, license_serial,
                                 license_number, static_cast<BoundLineEdit *>(license_date),
                                 static_cast<BoundLineEdit *>(license_deadline), name_leader, name_counter}) {
        const bool wrong = faults.contains(entry->fieldName());
        if (!entry->isReadOnly())
            paintEntryMark(entry, wrong);
        refused = refused || wrong;
    }
    if (refused) {
        MessageBoxes::information(this, requisitesRefusedMessage());
        return false;
    }
    return true;
}

void TEssentialForm::SaveClick()
{
    if (!SaveMouseDown())
        return;
    try {
        ClientDataSetKalvor->post();
    } catch (const KalvorError &error) {
        MessageBoxes::error(this, error.message());
        return;
    }
    accept();
}

bool editRequisites(QWidget *parent, const QString &kalvorFileName)
{
    try {
        TEssentialForm form(kalvorFileName, parent);
        form.setInnReadOnly(true);
        if (form.exec() != QDialog::Accepted)
            return false;
        form.table().saveToFile();
        return true;
    } catch (const KalvorError &error) {
        MessageBoxes::error(parent, error.message());
        return false;
    }
}

} // namespace kalvor::gui
