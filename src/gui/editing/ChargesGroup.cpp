#include "gui/editing/ChargesGroup.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace kalvor::gui {

QGroupBox *chargesGroup(const QString &title, const ChargesEntries &e, QWidget *parent)
{
    const auto caption = [parent](const QString &t) { return new QLabel(t, parent); };
    auto *charges = new QGroupBox(title, parent);
    auto *chargesLayout = new QGridLayout(charges);
    auto *retail = new QGroupBox(QStringLiteral("Розничная продажа"), charges);
    auto *retailLayout = new QGridLayout(retail);
    retailLayout->addWidget(caption(QStringLiteral("Кол-во тары(шт.)")), 0, 0);
    retailLayout->addWidget(e.packageCount, 1, 0);
    retailLayout->addWidget(caption(QStringLiteral("Объем(л.)")), 0, 1);
    retailLayout->addWidget(e.volume, 1, 1);
    retailLayout->addWidget(e.markup, 2, 0);
    retailLayout->addWidget(e.sum, 2, 1);
    chargesLayout->addWidget(retail, 0, 0, 2, 1);
    chargesLayout->addWidget(caption(QStringLiteral("Возврат поставщику(л.)")), 0, 1);
    chargesLayout->addWidget(e.returnVolume, 0, 2);
    chargesLayout->addWidget(caption(QStringLiteral("Списание(л.)")), 1, 1);
    chargesLayout->addWidget(e.writeoff, 1, 2);
    return charges;
}

} // namespace kalvor::gui
