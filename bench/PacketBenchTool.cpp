// kalvor-packet-bench: times one load or one save of a data packet file, for run-packet-bench.sh, or
// the main window's views over a declaration (opening, and moving through the invoices), or one whole
// reconciliation or text export of a declaration (reading it included, files written to a scratch folder).
// Only the operation itself is timed; the script measures peak memory of the whole process.
#include "app/TAppSettings.h"
#include "editing/DeclarationViews.h"
#include "period/Reconciliation.h"
#include "period/TextExport.h"
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::size_t visibleRecords(const kalvor::TableData &data)
{
    std::size_t visible = 0;
    for (std::uint32_t r = 0; r < data.recordCount(); ++r)
        visible += kalvor::RowState::isVisible(data.rowState(r)) ? 1 : 0;
    return visible;
}

// Opening the four views, reopening them on the last invoice (as after adding one), and moving the
// invoice selection one row at a time.
int timeViews(const QString &fileName)
{
    kalvor::DeclarationViews views;
    auto start = std::chrono::steady_clock::now();
    views.reopen(fileName);
    const double open = secondsSince(start);
    start = std::chrono::steady_clock::now();
    views.reopen(fileName, {kalvor::ViewCursor::kLastRow, 1, 1});
    const double reopenLast = secondsSince(start);
    const int invoices = views.ClientDataSetInvoice.recordCount();
    const int steps = std::min(invoices, 200);
    views.ClientDataSetInvoice.first();
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) {
        views.ClientDataSetInvoice.setRecNo(invoices / 2 + i % (invoices / 2 + 1));
        views.invoiceSelected();
    }
    const double select = steps > 0 ? secondsSince(start) / steps : 0;
    std::printf("views open=%.4f reopen-last=%.4f select-invoice=%.5f invoices=%d positions-of-last=%d\n", open,
                reopenLast, select, invoices, views.ClientDataSetProduction.recordCount());
    return 0;
}

// The two whole-table commands of the period menu, each as the user runs it: read the declaration, pass
// over it, write error.log or data.txt (here into a scratch workspace, so the declaration's folder stays
// as it was).
int timePeriodCommand(const char *command, const QString &fileName)
{
    QTemporaryDir scratch;
    kalvor::TAppSettings settings;
    settings.SetcurDir(scratch.path() + u'/');
    settings.SetDeclarationFileName(fileName);
    const auto start = std::chrono::steady_clock::now();
    if (std::strcmp(command, "reconcile") == 0) {
        const kalvor::period::ReconciliationResult r = kalvor::period::reconcileDeclaration(settings);
        const double seconds = secondsSince(start);
        std::printf("reconcile seconds=%.4f findings=%zu log=%lld\n", seconds, r.findings.size(),
                    static_cast<long long>(QFileInfo(scratch.filePath(QStringLiteral("error.log"))).size()));
    } else {
        const kalvor::period::TextExportResult r = kalvor::period::exportText(settings);
        const double seconds = secondsSince(start);
        std::printf("export-text seconds=%.4f lines=%lld unlinked=%lld bytes=%lld\n", seconds,
                    static_cast<long long>(r.lines), static_cast<long long>(r.unlinked),
                    static_cast<long long>(QFileInfo(scratch.filePath(QStringLiteral("data.txt"))).size()));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && (std::strcmp(argv[1], "reconcile") == 0 || std::strcmp(argv[1], "export-text") == 0)) {
        try {
            return timePeriodCommand(argv[1], QString::fromLocal8Bit(argv[2]));
        } catch (const kalvor::KalvorError &error) {
            std::fprintf(stderr, "kalvor-packet-bench: %s\n", error.what());
            return 1;
        }
    }
    if (argc >= 3 && std::strcmp(argv[1], "views") == 0) {
        try {
            return timeViews(QString::fromLocal8Bit(argv[2]));
        } catch (const kalvor::KalvorError &error) {
            std::fprintf(stderr, "kalvor-packet-bench: %s\n", error.what());
            return 1;
        }
    }
    if (argc < 3 || (std::strcmp(argv[1], "load") != 0 && std::strcmp(argv[1], "save") != 0)) {
        std::fputs("usage: kalvor-packet-bench load FILE\n"
                   "       kalvor-packet-bench views FILE            (opens the main window's four views)\n"
                   "       kalvor-packet-bench reconcile FILE        (the remains reconciliation, error.log)\n"
                   "       kalvor-packet-bench export-text FILE      (the flat text export, data.txt)\n"
                   "       kalvor-packet-bench save FILE [OUT.xml]   (loads untimed, times the save)\n",
                   stderr);
        return 2;
    }
    const bool save = std::strcmp(argv[1], "save") == 0;
    const QString fileName = QString::fromLocal8Bit(argv[2]);
    try {
        kalvor::TableData data;
        auto start = std::chrono::steady_clock::now();
        kalvor::readDataPacketFile(fileName, data);
        double seconds = secondsSince(start);
        if (save) {
            QString out = argc > 3 ? QString::fromLocal8Bit(argv[3]) : fileName + QStringLiteral(".saved.xml");
            start = std::chrono::steady_clock::now();
            kalvor::saveDataPacketFile(data, out);
            seconds = secondsSince(start);
            const auto bytes = QFile(out).size();
            if (argc <= 3)
                QFile::remove(out);
            std::printf("save seconds=%.4f bytes=%lld records=%zu\n", seconds, static_cast<long long>(bytes),
                        data.recordCount());
        } else {
            std::printf("load seconds=%.4f records=%zu visible=%zu text=%zu\n", seconds, data.recordCount(),
                        visibleRecords(data), data.textBytes());
        }
    } catch (const kalvor::KalvorError &error) {
        std::fprintf(stderr, "kalvor-packet-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
