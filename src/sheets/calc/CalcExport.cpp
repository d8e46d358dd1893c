#include "sheets/calc/CalcExport.h"

#include "sheets/calc/CalcDeclaration.h"
#include "sheets/calc/OfficeConnection.h"
#include "sheets/calc/TOOCalc.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QFile>

namespace kalvor::sheets::calc {

namespace {

constexpr int kExcel97Rows = 65536;

// The office stores only the first 65,536 rows of a sheet in the MS Excel 97 format and still reports
// success: a longer declaration is refused before any work rather than silently cut.
void refuseRowsBeyondTheFormat(const SheetLayout &sheet, const QString &storeAs)
{
    if (TOOCalc::storesAsExcel97(storeAs) && sheet.rowCount() > kExcel97Rows)
        throw KalvorError(QStringLiteral("Лист декларации из %1 строк не помещается в файл %2: в формате MS Excel 97 "
                                         "не больше %3 строк. Сохраните документ в формате .ods или .xlsx.")
                              .arg(sheet.rowCount())
                              .arg(QDir::toNativeSeparators(storeAs))
                              .arg(kExcel97Rows));
}

} // namespace

CalcExportResult exportDeclarationToCalc(const SheetExportPlan &plan, const CalcTarget &target,
                                         const OfficeOptions &office,
                                         const std::function<void(const QString &)> &missingInvoice,
                                         const Progress &progress)
{
    const QString scratch = QDir(plan.curDir).filePath(QStringLiteral("temp/") + QString::fromLatin1(kCalcTemplate));
    QFile::remove(scratch);
    if (!CopyFileReplacing(plan.templateFile, scratch))
        throw KalvorError(QStringLiteral("Не удалось скопировать %1 в %2")
                              .arg(QDir::toNativeSeparators(plan.templateFile), QDir::toNativeSeparators(scratch)));

    OfficeOptions options = office;
    options.headless = options.headless || !target.storeAs.isEmpty();
    const std::shared_ptr<OfficeConnection> connection = OfficeConnection::open(options);
    CalcExportResult result;
    {
        TOOCalc calc(connection, scratch);
        try {
            const SheetLayout templateSheet = readSheetLayout(calc);
            const DeclarationSheet laidOut =
                exportDeclaration(plan, templateSheet, QStringLiteral("Calc"), missingInvoice, progress);
            refuseRowsBeyondTheFormat(laidOut.sheet, target.storeAs);
            writeSheetLayout(calc, laidOut.sheet, templateSheet, declarationCalcOptions(laidOut.sheet));
            result.periodTotal = laidOut.periodTotal;
            result.complete = laidOut.complete;
            result.rowsRead = laidOut.rowsRead;
            result.rowsMissingInvoice = laidOut.rowsMissingInvoice;
            if (target.storeAs.isEmpty()) {
                calc.SetVisible(true);
                calc.MarkAsSaved();
            } else {
                calc.SaveCopyAs(target.storeAs);
                calc.FreeDocument(true);
            }
        } catch (...) {
            // A half-made hidden document is of no use to the user.
            try {
                calc.FreeDocument(true);
            } catch (const KalvorError &) {
            }
            if (!target.storeAs.isEmpty())
                connection->terminateOffice();
            throw;
        }
    }
    if (!target.storeAs.isEmpty())
        connection->terminateOffice();
    return result;
}

} // namespace kalvor::sheets::calc
