// Reads arbitrary bytes as a field file and checks the network they describe against four known
// points (one of them named twice, with other coordinates). The first byte picks the face-2 choice
// and the version, so that both heights and the degrees note are reached.
#include <cstdint>
#include <string_view>

#include "QuietUi.h"
#include "check/NetworkCheck.h"
#include "fieldfile/FieldFileReader.h"

using talvik::fuzz::QuietUi;

// Inputs longer than this are left to fuzz/large_inputs.py: the work per input stays small
// enough for thousands of runs a second.
constexpr std::size_t kLongestInput = std::size_t{1} << 16;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kLongestInput) return 0;
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    talvik::ExportOptions options;
    options.Face2to1 = (choice & 1) != 0;
    options.Version = (choice & 2) != 0 ? 3 : 1;
    options.SelCode.fill("");

    talvik::PointTable points;
    for (const talvik::PointRecord& p : {talvik::PointRecord{"K1", 1000.0, 2000.0, 10.0, true},
                                         talvik::PointRecord{"K2", 1100.0, 2000.0, 11.0, true},
                                         talvik::PointRecord{"K3", 1050.0, 2100.0, 12.0, true},
                                         talvik::PointRecord{"K2", 1100.5, 2000.0, 11.0, true}})
        points.Append(p);
    const std::size_t known = points.Last();

    talvik::LineReader reader;
    reader.OpenText(std::string_view(reinterpret_cast<const char*>(data), size));
    talvik::AngleUnitState unit;
    talvik::NetworkCheck check(
        talvik::ChoicesFrom(options, talvik::FinalAngleUnit(reader, unit.value)));
    reader.Rewind();
    options.Face2to1 = false;
    QuietUi ui;
    talvik::ReadFieldFile(reader, options, points, check, unit, ui);
    points.Seal();
    const talvik::CheckReport report = check.Run(points, known);

    // What the sketch's painters and the window rely on.
    const std::size_t count = report.points.size();
    for (const talvik::CheckLine& line : report.lines)
        if (line.from >= count || line.to >= count) __builtin_trap();
    for (const talvik::Finding& finding : report.findings)
        for (const std::size_t n : finding.points)
            if (n >= count || finding.text.empty()) __builtin_trap();
    if (report.findings.size() > talvik::CheckReport::kKept) __builtin_trap();
    return 0;
}
