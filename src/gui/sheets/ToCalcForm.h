#pragma once

#include "gui/sheets/ToExcelForm.h"
#include "sheets/calc/OfficeOptions.h"

namespace kalvor::gui {

// "Выгрузка в Calc": the export window running the Calc export on its worker (TToCalc), which starts or
// reaches the office there. The document is left open in the office, untitled and not modified; a
// failure (no office, an office that hangs or dies, no template) ends the export with its message.
class TToCalcForm final : public TToExcelForm {
    Q_OBJECT
public:
    TToCalcForm(sheets::SheetExportPlan plan, sheets::calc::OfficeOptions office, QWidget *parent = nullptr);

    void ExportToExcel() override { ExportToCalc(); }
    void ExportToCalc();

private:
    sheets::calc::OfficeOptions m_office;
};

} // namespace kalvor::gui
