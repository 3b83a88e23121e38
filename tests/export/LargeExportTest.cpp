// A generated network of some thousands of points through the IDEX reader and the conversion:
// the three files written must stay byte for byte what they are (pinned checksums), whatever
// the readers and writers do to go faster.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <tuple>

#include "GeneratedNetwork.h"
#include "interchange/IdexReader.h"
#include "project/Conversion.h"
#include "project/ProjectTestSupport.h"

namespace talvik::testing {
namespace {

using bench::MakeFieldFile;
using bench::MakeIdexFile;

// The file's checksum with the network name (the scratch folder in upper case) taken out.
std::string Checksum(std::string bytes, const std::string& network) {
    for (std::size_t at; (at = bytes.find(network)) != std::string::npos;)
        bytes.replace(at, network.size(), "NET");
    std::uint64_t h = 14695981039346656037ull;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

TEST(LargeExport, OutputsKeepTheirChecksums) {
    // Version, faces reduced, angle unit, checksums of the project, observation, coordinate files.
    const std::tuple<int, bool, const char*, const char*, const char*, const char*> cases[] = {
        {3, false, "GR", "1025a8fea11c2555", "db62d8dfc85b0c43", "5e93acb15787cd61"},
        {1, true, "DM", "62cc144174cde23d", "7dc2841b25c1aed2", "0c53c74e47ad200d"},
    };
    const std::string idex = MakeIdexFile(4000, 11);
    for (const auto& [version, face2to1, angles, prj, obs, tco] : cases) {
        ScratchDir dir;
        testing::WriteBytes(dir / "net.fld", MakeFieldFile(40000, 4000, 12, angles));
        ExportOptions options;
        options.Projectfile = dir / "net.prj", options.Fieldfile = dir / "net.fld";
        options.Version = version, options.Face2to1 = face2to1;
        options.SelCode = {"", "K1", " X "};
        RecordingUi ui;
        PointTable points;
        LineReader input;
        input.OpenText(idex);
        ReadIdexFile(input, points, ui);
        AngleUnitState unit;
        ASSERT_EQ(ConvertFieldFile(options, points, unit, ui), ConversionOutcome::Finished);
        const std::string base = dir / "net", network = ToUpper(base);
        const auto sum = [&](const char* extension) {
            return Checksum(ReadBytes(base + extension), network);
        };
        EXPECT_EQ(sum(".PRJ") + sum(version == 1 ? ".TOB" : ".OBS") + sum(".TCO"),
                  std::string(prj) + obs + tco);
        EXPECT_EQ(ui.messages.size(), 0u) << version;
    }
}

}  // namespace
}  // namespace talvik::testing
