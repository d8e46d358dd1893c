// Load and save of generated declarations of a few sizes. Sizes are visible rows.
#include "store/DeclarationGenerator.h"

#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <utility>

namespace kalvor {
namespace {

// Files are generated once per size and style and removed with the folder at exit.
class GeneratedFiles final {
public:
    static GeneratedFiles &instance()
    {
        static GeneratedFiles files;
        return files;
    }

    QString path(std::size_t rows, bool engineStyle)
    {
        const auto key = std::make_pair(rows, engineStyle);
        auto found = m_paths.find(key);
        if (found != m_paths.end())
            return found->second;
        const QString name = m_dir.filePath(QStringLiteral("decl-%1-%2.xml")
                                                .arg(rows)
                                                .arg(engineStyle ? QStringLiteral("engine") : QStringLiteral("hand")));
        DeclarationOptions options;
        options.rows = rows;
        options.engineStyle = engineStyle;
        if (!DeclarationGenerator(options).writeFile(name.toStdString()))
            std::abort();
        return m_paths.emplace(key, name).first->second;
    }

    QString outputPath() const { return m_dir.filePath(QStringLiteral("saved.xml")); }

private:
    QTemporaryDir m_dir;
    std::map<std::pair<std::size_t, bool>, QString> m_paths;
};

void load(benchmark::State &state, bool engineStyle)
{
    const QString path = GeneratedFiles::instance().path(static_cast<std::size_t>(state.range(0)), engineStyle);
    for (auto _ : state) {
        TableData data;
        readDataPacketFile(path, data);
        benchmark::DoNotOptimize(data.recordCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * QFile(path).size());
    state.counters[QStringLiteral("rows/s").toStdString()] =
        benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LoadHandWritten(benchmark::State &state) { load(state, false); }
void BM_LoadEngineStyle(benchmark::State &state) { load(state, true); }

void BM_Save(benchmark::State &state)
{
    auto &files = GeneratedFiles::instance();
    TableData data;
    readDataPacketFile(files.path(static_cast<std::size_t>(state.range(0)), false), data);
    const QString out = files.outputPath();
    for (auto _ : state)
        saveDataPacketFile(data, out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * QFile(out).size());
}

// The same without the disk: what the writer itself costs.
void BM_Serialize(benchmark::State &state)
{
    TableData data;
    readDataPacketFile(GeneratedFiles::instance().path(static_cast<std::size_t>(state.range(0)), true), data);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const QByteArray packet = serializeDataPacket(data, PacketForm::Xml);
        bytes += packet.size();
        benchmark::DoNotOptimize(packet.data());
    }
    state.SetBytesProcessed(bytes);
}

void BM_Generate(benchmark::State &state)
{
    DeclarationOptions options;
    options.rows = static_cast<std::size_t>(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const std::string packet = DeclarationGenerator(options).generate();
        bytes += static_cast<std::int64_t>(packet.size());
        benchmark::DoNotOptimize(packet.data());
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_LoadHandWritten)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEngineStyle)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Serialize)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Generate)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace kalvor

BENCHMARK_MAIN();
