#include "gui/reports/ReportPeriodForm.h"

#include "app/PeriodNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::gui {
namespace {

QComboBox *selector(const QString &name, const QStringList &items)
{
    auto *box = new QComboBox;
    box->setObjectName(name);
    box->addItems(items);
    box->setMaxVisibleItems(12);
    return box;
}

QGroupBox *spanGroup(const QString &title, QComboBox *month, QComboBox *year)
{
    auto *group = new QGroupBox(title);
    auto *row = new QHBoxLayout(group);
    row->addWidget(month, 1);
    row->addWidget(year);
    return group;
}

} // namespace

TReportPeriodForm::TReportPeriodForm(QWidget *parent, int currentYear) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportPeriodForm"));
    setWindowTitle(QStringLiteral("Сформировать отчет за период"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    QStringList years;
    for (const int year : selectorYears(-1, currentYear - 2000))
        years.append(yearText(year));
    ComboBoxStartMonth = selector(QStringLiteral("ComboBoxStartMonth"), monthNames());
    ComboBoxStartYear = selector(QStringLiteral("ComboBoxStartYear"), years);
    ComboBoxEndMonth = selector(QStringLiteral("ComboBoxEndMonth"), monthNames());
    ComboBoxEndYear = selector(QStringLiteral("ComboBoxEndYear"), years);
    for (QComboBox *month : {ComboBoxStartMonth, ComboBoxEndMonth})
        month->setMinimumContentsLength(9);

    LabelINN = new QLabel(QStringLiteral("ИНН"));
    INNEdit = new QLineEdit;
    INNEdit->setObjectName(QStringLiteral("INNEdit"));
    INNEdit->setMaxLength(12);
    LabelINN->setBuddy(INNEdit);
    auto *innRow = new QHBoxLayout;
    innRow->addWidget(LabelINN);
    innRow->addWidget(INNEdit, 1);
    setINNVisible(false);

    CheckBox1 = new QCheckBox(QStringLiteral("по всем объектам"));
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setEnabled(false);

    ButtonOk = new QPushButton(QStringLiteral("Сформировать"));
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);

    auto *main = new QVBoxLayout(this);
    main->setSizeConstraint(QLayout::SetFixedSize);
    main->addWidget(spanGroup(QStringLiteral("Начало периода"), ComboBoxStartMonth, ComboBoxStartYear));
    main->addWidget(spanGroup(QStringLiteral("Конец периода"), ComboBoxEndMonth, ComboBoxEndYear));
    main->addLayout(innRow);
    main->addWidget(CheckBox1);
    main->addSpacing(6);
    main->addLayout(buttons);

    connect(ButtonOk, &QPushButton::clicked, this, &TReportPeriodForm::accept);
    connect(ButtonCancel, &QPushButton::clicked, this, &TReportPeriodForm::reject);
}

void TReportPeriodForm::setINNVisible(bool visible)
{
    LabelINN->setVisible(visible);
    INNEdit->setVisible(visible);
}

void TReportPeriodForm::setPeriod(int year, int month)
{
    const int yearIndex = ComboBoxStartYear->findText(QString::number(year));
    if (yearIndex < 0 || month < 1 || month > 12)
        return;
    for (QComboBox *box : {ComboBoxStartYear, ComboBoxEndYear})
        box->setCurrentIndex(yearIndex);
    for (QComboBox *box : {ComboBoxStartMonth, ComboBoxEndMonth})
        box->setCurrentIndex(month - 1);
}

reports::ReportSpan TReportPeriodForm::span() const
{
    return {ComboBoxStartYear->currentText().toInt(), ComboBoxStartMonth->currentIndex() + 1,
            ComboBoxEndYear->currentText().toInt(), ComboBoxEndMonth->currentIndex() + 1};
}

QString TReportPeriodForm::inn() const
{
    return INNEdit->text();
}

void TReportPeriodForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!INNEdit->isHidden())
        INNEdit->setFocus();
    // Centred on the window that opened it.
    if (parentWidget())
        move(parentWidget()->window()->frameGeometry().center() - rect().center());
}

} // namespace kalvor::gui
