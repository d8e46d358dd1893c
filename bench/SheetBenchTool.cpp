// kalvor-sheet-bench csv IN.xlsx OUT.csv: the cells of a workbook's first sheet as CSV, each as the cell
// shows it, so that an office suite can be timed turning the same cells into a workbook.
#include "sheets/XlsxWorkbook.h"
#include "store/KalvorError.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 4 || args[1] != u"csv") {
        std::fputs("usage: kalvor-sheet-bench csv IN.xlsx OUT.csv\n", stderr);
        return 2;
    }
    try {
        const kalvor::sheets::XlsxWorkbook book = kalvor::sheets::XlsxWorkbook::open(args[2]);
        const kalvor::sheets::SheetLayout &sheet = book.sheet();
        QFile out(args[3]);
        if (!out.open(QIODevice::WriteOnly))
            throw kalvor::KalvorError(out.errorString());
        const int columns = sheet.columnCount();
        QByteArray line;
        for (int row = 1; row <= sheet.rowCount(); ++row) {
            line.clear();
            for (int column = 1; column <= columns; ++column) {
                if (column > 1)
                    line += ',';
                QByteArray text = sheet.displayText(row, column).toUtf8();
                if (text.contains(',') || text.contains('"') || text.contains('\n')) {
                    text.replace("\"", "\"\"");
                    text = '"' + text + '"';
                }
                line += text;
            }
            line += '\n';
            out.write(line);
        }
    } catch (const kalvor::KalvorError &e) {
        std::fprintf(stderr, "kalvor-sheet-bench: %s\n", e.message().toUtf8().constData());
        return 1;
    }
    return 0;
}
