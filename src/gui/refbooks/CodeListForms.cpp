#include "gui/refbooks/CodeListForms.h"

#include <QTableView>

namespace kalvor::gui {

TCodeListForm::TCodeListForm(RefBook book, const QString &fileName, const QString &caption, QWidget *parent)
    : RefBookWindow(book, fileName,
                    {{QStringLiteral("code"), QStringLiteral("Код")}, {QStringLiteral("name"), QStringLiteral("Наименование")}},
                    parent)
{
    setWindowTitle(caption);
    ClientDataSet = &bookTable();
    DBGrid1 = bookGrid();
    finishLayout(QStringLiteral("DBGrid1"));
    DBGrid1->setColumnWidth(0, 60);
    resize(560, 520);
}

TRegionsForm::TRegionsForm(const QString &regionsFileName, QWidget *parent)
    : TCodeListForm(RefBook::Regions, regionsFileName, QStringLiteral("Код субъекта Российской Федерации"), parent)
{
    setObjectName(QStringLiteral("RegionsForm"));
}

TKindProductionForm::TKindProductionForm(const QString &productionFileName, QWidget *parent)
    : TCodeListForm(RefBook::KindProduction, productionFileName, QStringLiteral("Виды продукции"), parent)
{
    setObjectName(QStringLiteral("KindProductionForm"));
    resize(560, 320);
}

} // namespace kalvor::gui
