#pragma once

#include "gui/refbooks/RefBookWindow.h"

class QTableView;

namespace kalvor::gui {

// A code list delivered with the program, only shown: code and name, ordered by code.
class TCodeListForm : public RefBookWindow {
    Q_OBJECT
public:
    Table *ClientDataSet = nullptr;
    QTableView *DBGrid1 = nullptr;

protected:
    TCodeListForm(RefBook book, const QString &fileName, const QString &caption, QWidget *parent);
};

// "Код субъекта Российской Федерации": the regions book.
class TRegionsForm final : public TCodeListForm {
    Q_OBJECT
public:
    explicit TRegionsForm(const QString &regionsFileName, QWidget *parent = nullptr);
};

// "Виды продукции": the kinds-of-production book.
class TKindProductionForm final : public TCodeListForm {
    Q_OBJECT
public:
    explicit TKindProductionForm(const QString &productionFileName, QWidget *parent = nullptr);
};

} // namespace kalvor::gui
