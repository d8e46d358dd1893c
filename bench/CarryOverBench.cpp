// kalvor-carry-over-bench: the carry-over pass over a declaration against one load and one save of the
// same file, each the best of a few runs. The goal is a pass of at most 1.5 times load + save.
#include "period/CarryOver.h"
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

namespace {

double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fputs("usage: kalvor-carry-over-bench DECLARATION.xml TEMPLATE.xml [RUNS]\n", stderr);
        return 2;
    }
    const QString fileName = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    QTemporaryDir dir;
    try {
        const QString saved = dir.filePath(QStringLiteral("saved.xml"));
        const double load = bestOf(runs, [&] {
            kalvor::TableData data;
            kalvor::readDataPacketFile(fileName, data);
        });
        kalvor::TableData data;
        kalvor::readDataPacketFile(fileName, data);
        const double save = bestOf(runs, [&] { kalvor::saveDataPacketFile(data, saved); });

        kalvor::period::CarryOverPlan plan;
        plan.periodString = QStringLiteral("201204");
        plan.previousTable = fileName;
        plan.templateFileName = QString::fromLocal8Bit(argv[2]);
        plan.carriedFile = dir.filePath(QStringLiteral("carried.xml"));
        kalvor::period::CarryOverSummary summary;
        const double pass =
            bestOf(runs, [&] { summary = kalvor::period::carryOverRemains(plan, QStringLiteral("1.0.0")); });
        std::printf("load=%.4f save=%.4f load+save=%.4f carry-over=%.4f ratio=%.2f rows=%lld kept=%lld\n", load, save,
                    load + save, pass, pass / (load + save), static_cast<long long>(summary.rowsRead),
                    static_cast<long long>(summary.rowsKept));
    } catch (const kalvor::KalvorError &error) {
        std::fprintf(stderr, "kalvor-carry-over-bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
