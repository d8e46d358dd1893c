#include "gui/DeclarationPeriodForm.h"

#include "gui/common/PeriodSelectors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::gui {

TDeclarationPeriodForm::TDeclarationPeriodForm(QWidget *parent, int configuredYear) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeclarationPeriodForm"));
    setWindowTitle(QStringLiteral("Создание новой декларации"));
    // A title bar with the close box only: no system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    ComboBoxMonth = monthSelector();
    ComboBoxMonth->setObjectName(QStringLiteral("ComboBoxMonth"));
    ComboBoxMonth->setMinimumContentsLength(9);
    ComboBoxYear = yearSelector(configuredYear);
    ComboBoxYear->setObjectName(QStringLiteral("ComboBoxYear"));
    ComboBoxYear->setMinimumContentsLength(5);

    auto *monthLabel = new QLabel(QStringLiteral("Месяц"));
    monthLabel->setBuddy(ComboBoxMonth);
    auto *yearLabel = new QLabel(QStringLiteral("год"));
    yearLabel->setBuddy(ComboBoxYear);

    auto *group = new QGroupBox(QStringLiteral("Декларация за"));
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *row = new QHBoxLayout(group);
    row->addWidget(monthLabel);
    row->addWidget(ComboBoxMonth, 1);
    row->addSpacing(12);
    row->addWidget(yearLabel);
    row->addWidget(ComboBoxYear);

    CheckBoxTransfer = new QCheckBox(QStringLiteral("Перенести остатки"));
    CheckBoxTransfer->setObjectName(QStringLiteral("CheckBoxTransfer"));
    CheckBoxTransfer->setChecked(true);

    Button1 = new QPushButton(QStringLiteral("Создать"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отмена"));
    Button2->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(group);
    main->addWidget(CheckBoxTransfer);
    main->addSpacing(6);
    main->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &TDeclarationPeriodForm::accept);
    connect(Button2, &QPushButton::clicked, this, &TDeclarationPeriodForm::reject);
}

void TDeclarationPeriodForm::setMode(Mode mode)
{
    const bool newPeriod = mode == Mode::NewPeriod;
    CheckBoxTransfer->setEnabled(newPeriod);
    Button2->setEnabled(newPeriod);
}

void TDeclarationPeriodForm::setPeriod(int year, int month)
{
    ComboBoxMonth->setCurrentIndex(month >= 1 && month <= 12 ? month - 1 : -1);
    selectYear(ComboBoxYear, year);
}

int TDeclarationPeriodForm::monthIndex() const { return ComboBoxMonth->currentIndex(); }

int TDeclarationPeriodForm::year() const { return selectedYear(ComboBoxYear); }

bool TDeclarationPeriodForm::transferRemains() const { return CheckBoxTransfer->isChecked(); }

bool TDeclarationPeriodForm::FormClose()
{
    // Point the user at what is still missing.
    if (monthIndex() < 0) {
        ComboBoxMonth->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (year() < 0) {
        ComboBoxYear->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void TDeclarationPeriodForm::done(int result)
{
    // Leaving without a period is always possible; "Создать" needs a month and a year.
    if (result == QDialog::Rejected || FormClose())
        QDialog::done(result);
}

} // namespace kalvor::gui
