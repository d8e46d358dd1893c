#include "gui/editing/EntryWidgets.h"

#include "gui/common/DataBinding.h"
#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QGridLayout>
#include <QLabel>

namespace kalvor::gui {

BoundLineEdit *boundEdit(DataBinding &binding, const char *name, const QString &field, QWidget *parent)
{
    auto *edit = new BoundLineEdit(binding, field, parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

namespace {

void frame(QLabel *label)
{
    label->setMinimumWidth(90);
    label->setFrameShape(QFrame::StyledPanel);
}

} // namespace

BoundLabel *boundText(DataBinding &binding, const char *name, const QString &field, QWidget *parent)
{
    auto *label = new BoundLabel(binding, field, parent);
    label->setObjectName(QString::fromLatin1(name));
    frame(label);
    return label;
}

QLabel *restInPackagesLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("LabelRestVolume"));
    frame(label);
    return label;
}

QGridLayout *openingRestRows(QWidget *litres, QLabel *packages, QWidget *parent)
{
    auto *rest = new QGridLayout;
    rest->addWidget(new QLabel(QStringLiteral("Наличие на начало месяца (л.)"), parent), 0, 0);
    rest->addWidget(litres, 0, 1);
    rest->addWidget(new QLabel(QStringLiteral("Наличие на начало месяца (шт.)"), parent), 1, 0);
    rest->addWidget(packages, 1, 1);
    return rest;
}

void showRestInPackages(QLabel *label, const Table &row)
{
    if (label != nullptr && row.isActive())
        label->setText(position::restVolumeInPackagesText(row.currentRow()));
}

bool recalculateRow(Table &row, position::RowKind kind, QWidget *parent)
{
    if (!row.isActive() || (row.state() == Table::State::Browse && row.recordCount() == 0))
        return false;
    try {
        if (row.state() == Table::State::Browse)
            row.edit();
        position::calculateSomeFields(row, kind);
    } catch (const KalvorError &error) {
        MessageBoxes::error(parent, error.message());
    }
    return true;
}

} // namespace kalvor::gui
