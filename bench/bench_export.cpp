// Export throughput: the whole conversion of a large field file, and the ordering of the
// point table on its own (fast and literal).

#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "model/Tables.h"
#include "project/Conversion.h"
#include "project/CoordinateFile.h"
#include "project/LiteralOrder.h"
#include "project/ProjectTestSupport.h"
#include "text/Text.h"

namespace talvik {
namespace {

// "P" and six digits.
std::string PointName(std::uint32_t k) {
    std::string name = "P000000";
    for (std::size_t i = name.size() - 1; i > 0 && k > 0; --i, k /= 10)
        name[i] = static_cast<char>('0' + k % 10);
    return name;
}

void AppendNumber(std::string& out, double value) {
    char buffer[64];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    out.append(buffer, r.ptr);
}

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

// A field file of about `lines` lines: set-ups with reference directions, face-1 and face-2
// readings, target heights, round sets and coordinate records, naming the known points.
std::string MakeFieldFile(std::size_t lines, std::size_t knownPoints, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(lines * 48);
    std::size_t n = 0;
    auto line = [&](std::string_view code) {
        out += std::to_string(++n);
        out += ' ';
        out += code;
    };
    auto name = [&] { return PointName(static_cast<std::uint32_t>(rng() % knownPoints)); };
    auto number = [&](double v) {
        out += ' ';
        AppendNumber(out, v);
    };
    auto reading = [&](const std::string& target, bool face2) {
        line("111");
        out += ' ' + target;
        const double direction = (rng() % 4000000) / 10000.0;
        const double zenith = 95 + (rng() % 100000) / 10000.0;
        number(direction);
        number(face2 ? 400 - zenith : zenith);
        number(10 + (rng() % 5000000) / 10000.0);
        out += rng() % 10 == 0 ? " X9\r\n" : " K1\r\n";
    };
    line("51 GR\r\n");
    line("53 M\r\n");
    while (n < lines) {
        const std::string station = name();
        line("102");
        out += ' ' + station;
        number(1.5 + (rng() % 300) / 1000.0);
        number(1.6);
        out += ' ' + name();
        out += " 0\r\n";
        const int targets = 4 + static_cast<int>(rng() % 12);
        std::vector<std::string> names;
        for (int t = 0; t < targets; ++t)
            names.push_back(name());
        for (const auto& t : names)
            reading(t, false);
        if (rng() % 4 == 0) {
            line("105");
            number(1.7);
            out += "\r\n";
        }
        for (int t = 0; t < targets / 2; ++t)
            reading(names[static_cast<std::size_t>(t)], true);
        if (rng() % 3 == 0) {
            // Three targets plus the closing one, two rounds.
            line("160 3 2\r\n");
            for (int r = 0; r < 8; ++r)
                reading(names[static_cast<std::size_t>(r) % names.size()], false);
            line("161\r\n");
        }
        if (rng() % 5 == 0) {
            line("62");
            out += ' ' + name();
            number(155000 + rng() % 1000);
            number(463000 + rng() % 1000);
            out += "\r\n";
        }
    }
    return out;
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
