#include "gui/sheets/ToCalcForm.h"

#include "sheets/calc/CalcExport.h"

namespace kalvor::gui {

TToCalcForm::TToCalcForm(sheets::SheetExportPlan plan, sheets::calc::OfficeOptions office, QWidget *parent)
    : TToExcelForm(std::move(plan), QStringLiteral("Выгрузка в Calc"),
                   QStringLiteral("Ошибки при выгрузке ( выгрузка в файл error.log ) "), parent),
      m_office(std::move(office))
{
    setObjectName(QStringLiteral("ToCalcForm"));
}

void TToCalcForm::ExportToCalc()
{
    guarded([this] {
        const sheets::calc::CalcExportResult result = sheets::calc::exportDeclarationToCalc(
            m_plan, {}, m_office, [this](const QString &line) { Q_EMIT lineAdded(line); }, progress());
        m_complete = result.complete;
        m_total = result.periodTotal;
    });
    doClose = true;
    Q_EMIT exportFinished();
}

} // namespace kalvor::gui
