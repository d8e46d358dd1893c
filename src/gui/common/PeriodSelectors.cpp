#include "gui/common/PeriodSelectors.h"

#include "app/PeriodNames.h"
#include "app/TAppSettings.h"

#include <QComboBox>

namespace kalvor::gui {
namespace {

QComboBox *selector(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setEditable(false);
    box->setPlaceholderText(QStringLiteral("..."));
    box->setMaxVisibleItems(12);
    return box;
}

} // namespace

QComboBox *monthSelector(QWidget *parent)
{
    QComboBox *box = selector(parent);
    box->addItems(monthNames());
    box->setCurrentIndex(-1);
    return box;
}

QComboBox *yearSelector(int configuredYear, QWidget *parent)
{
    QComboBox *box = selector(parent);
    for (const int year : selectorYears(configuredYear))
        box->addItem(yearText(year), year);
    box->setCurrentIndex(-1);
    return box;
}

int selectedYear(const QComboBox *box)
{
    const int index = box->currentIndex();
    return index < 0 ? -1 : box->itemData(index).toInt();
}

void selectYear(QComboBox *box, int year)
{
    if (!isPeriodYear(year)) {
        box->setCurrentIndex(-1);
        return;
    }
    int index = box->findData(year);
    if (index < 0) {
        index = 0;
        while (index < box->count() && box->itemData(index).toInt() < year)
            ++index;
        box->insertItem(index, yearText(year), year);
    }
    box->setCurrentIndex(index);
}

} // namespace kalvor::gui
