// Export throughput: the whole conversion of a large field file, and the ordering of the
// point table on its own (fast and literal).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "GeneratedNetwork.h"
#include "model/Tables.h"
#include "project/Conversion.h"
#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "project/ProjectTestSupport.h"
#include "text/Text.h"

namespace talvik {
namespace {

using bench::MakeFieldFile;
using bench::PointName;

// Known points as the IDEX reader leaves them: distinct names in file order.
PointTable MakeKnownPoints(std::size_t count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < count; ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    PointTable points;
    for (std::uint32_t k : order) {
        PointRecord p;
        p.Name = FitName9(PointName(k));
        p.X = 155000 + (rng() % 10000000) / 100.0;
        p.Y = 463000 + (rng() % 10000000) / 100.0;
        p.Z = (rng() % 100000) / 1000.0;
        p.HasCoordinates = true;
        points.Append(p);
    }
    return points;
}

constexpr std::size_t kKnownPoints = 200000;
constexpr std::size_t kFieldLines = 1000000;

struct ExportInput {
    testing::ScratchDir dir;
    PointTable points = MakeKnownPoints(kKnownPoints, 1);
    std::string fieldPath = dir / "survey.fld";
    std::size_t fieldBytes = 0;

    ExportInput() {
        const std::string text = MakeFieldFile(kFieldLines, kKnownPoints, 2);
        fieldBytes = text.size();
        testing::WriteBytes(fieldPath, text);
    }
    static ExportInput& Get() {
        static ExportInput input;
        return input;
    }
};

void BM_ConvertFieldFile(benchmark::State& state) {
    ExportInput& input = ExportInput::Get();
    ExportOptions options;
    options.Projectfile = input.dir / "bench.prj";
    options.Fieldfile = input.fieldPath;
    options.Version = 3;
    options.Face2to1 = state.range(0) != 0;
    options.SelCode = {"", "K1"};
    testing::SilentUi ui;
    for (auto _ : state) {
        state.PauseTiming();
        PointTable points = input.points;
        AngleUnitState unit;
        state.ResumeTiming();
        benchmark::DoNotOptimize(ConvertFieldFile(options, points, unit, ui));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(input.fieldBytes));
    state.counters["points"] = static_cast<double>(kKnownPoints);
    state.counters["lines"] = static_cast<double>(kFieldLines);
}
BENCHMARK(BM_ConvertFieldFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A point table as the coordinate writer meets it: known points followed by the stations,
// targets and coordinate records the field file added, a fifth of them repeating names.
PointTable MakeTableToSort(std::size_t count) {
    PointTable points = MakeKnownPoints(count - count / 5, 3);
    std::mt19937 rng(4);
    for (std::size_t i = 0; i < count / 5; ++i) {
        PointRecord p;
        p.Name = FitName9(PointName(static_cast<std::uint32_t>(rng() % (count - count / 5))));
        p.IsUsed = true;
        points.Append(p);
    }
    return points;
}

// Moves the entries into the order OrderByName finds and rebuilds the table's name index.
void SortPointsByName(PointTable& points, const std::vector<NameKey>& sortedFirst = {}) {
    const std::vector<std::uint32_t> order = OrderByName(points, sortedFirst);
    std::vector<PointRecord>& entries = points.Entries();
    std::vector<PointRecord> sorted;
    sorted.reserve(entries.size());
    sorted.push_back(std::move(entries[0]));
    for (const std::uint32_t entry : order)
        sorted.push_back(std::move(entries[entry]));
    entries = std::move(sorted);
    points.Reindex();
}

void BM_SortPointsByName(benchmark::State& state) {
    const PointTable original = MakeTableToSort(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        PointTable points = original;
        state.ResumeTiming();
        SortPointsByName(points);
        benchmark::DoNotOptimize(points.Entries().data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_SortPointsByName)->Arg(5000)->Arg(250000)->Unit(benchmark::kMillisecond);

void BM_LiteralExchangeSort(benchmark::State& state) {
    const PointTable original = MakeTableToSort(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<PointRecord> entries = original.Entries();
        state.ResumeTiming();
        testing::LiteralExchangeSort(entries);
        benchmark::DoNotOptimize(entries.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_LiteralExchangeSort)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace talvik

BENCHMARK_MAIN();
