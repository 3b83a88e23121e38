// Reads arbitrary bytes as a field file. The first byte picks the options, so the fuzzer reaches
// both face-2 modes and selections that take everything, something or nothing.
#include <cstdint>
#include <string_view>

#include "QuietUi.h"
#include "fieldfile/FieldFileReader.h"

using talvik::fuzz::QuietUi;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    talvik::ExportOptions options;
    options.Face2to1 = (choice & 1) != 0;
    options.SelCode.fill("");
    if ((choice & 6) == 2) options.SelCode[1] = "K";
    if ((choice & 6) == 4) options.SelCode[16] = " -";
    if ((choice & 6) == 6)
        for (char c = 'A'; c < 'Q'; ++c)
            options.SelCode[static_cast<std::size_t>(c - 'A' + 1)] = std::string(1, c);

    talvik::LineReader reader;
    reader.OpenText(std::string_view(reinterpret_cast<const char*>(data), size));
    talvik::PointTable points;
    talvik::ObservationTable observations;
    talvik::AngleUnitState angleUnit;
    QuietUi ui;
    talvik::ReadFieldFile(reader, options, points, observations, angleUnit, ui);

    // What the writers rely on.
    const int unit = static_cast<int>(angleUnit.value);
    if (observations.empty() || unit < 0 || unit > 2) __builtin_trap();
    for (std::size_t i = 1; i < observations.size(); ++i)
        if (observations[i].Station.size() != 9 || observations[i].Target.size() != 9)
            __builtin_trap();
    for (std::size_t i = 1; i <= points.Last(); ++i)
        if (points[i].Name.size() != 9) __builtin_trap();
    return 0;
}
