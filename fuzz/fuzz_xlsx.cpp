// Feeds arbitrary bytes to the workbook template reader: it must never crash, and what it reads must
// stand the export's editing and be written back as a workbook that reads again.
#include "sheets/XlsxWorkbook.h"
#include "store/KalvorError.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kalvor::sheets;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    try {
        const XlsxWorkbook book = XlsxWorkbook::fromBytes(bytes, QStringLiteral("шаблон.xlsx"));
        SheetLayout sheet = book.sheet();
        if (sheet.rowCount() > 2000)
            return 0; // a sheet this tall tells nothing more and only slows the run
        for (int row = 1; row <= sheet.rowCount(); ++row)
            for (int column = 1; column <= std::min(sheet.columnCount(), 64); ++column)
                (void)sheet.displayText(row, column);
        sheet.insertRow(2);
        sheet.copyRows(1, 2, 3);
        sheet.setText(3, 2, QStringLiteral("_x0041_ & <текст>"));
        sheet.setFontColour(3, 3, 1, 5, kRed);
        sheet.deleteRow(1);
        static QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.xlsx"));
        book.save(sheet, out);
        const XlsxWorkbook again = XlsxWorkbook::open(out);
        if (again.sheet().textAt(2, 2) != QStringLiteral("_x0041_ & <текст>"))
            std::abort();
    } catch (const kalvor::KalvorError &) {
    }
    return 0;
}
