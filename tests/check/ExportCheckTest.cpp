// A generated network through the IDEX reader and the conversion, with and without the check:
// the three files keep their pinned checksums, and the check gets the export's reading.

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "GeneratedNetwork.h"
#include "check/CheckReading.h"
#include "interchange/IdexReader.h"
#include "project/ProjectTestSupport.h"
#include "support/Checksum.h"
#include "support/ReadBytes.h"
#include "support/RecordingUi.h"
#include "support/TempFolder.h"
#include "text/LineReader.h"
#include "text/Text.h"

namespace talvik {
namespace {

using testing::Checksum;

TEST(ExportCheck, OutputsKeepTheirChecksumsWithAndWithoutTheCheck) {
    // Version, faces reduced, angle unit, checksums of the project, observation, coordinate
    // files; degrees with face 2 reduced make the check read the field file once more.
    const std::tuple<int, bool, const char*, const char*, const char*, const char*> cases[] = {
        {3, false, "GR", "1025a8fea11c2555", "db62d8dfc85b0c43", "5e93acb15787cd61"},
        {1, true, "DM", "62cc144174cde23d", "7dc2841b25c1aed2", "0c53c74e47ad200d"},
    };
    const std::string idex = bench::MakeIdexFile(4000, 11);
    for (const auto& [version, face2to1, angles, prj, obs, tco] : cases) {
        for (const bool checked : {false, true}) {
            testing::TempFolder dir;
            testing::WriteBytes(dir.Path("net.fld"), bench::MakeFieldFile(40000, 4000, 12, angles));
            ExportOptions options;
            options.Projectfile = dir.Path("net.prj"), options.Fieldfile = dir.Path("net.fld");
            options.Version = version, options.Face2to1 = face2to1;
            options.SelCode = {"", "K1", " X "};
            testing::RecordingUi ui;
            PointTable points;
            LineReader input;
            input.OpenText(idex);
            ReadIdexFile(input, points, ui);
            AngleUnitState unit;
            ExportCheck check(options);
            ASSERT_EQ(
                ConvertFieldFile(options, points, unit, ui, nullptr, checked ? &check : nullptr),
                ConversionOutcome::Finished);
            const std::string base = dir.Path("net"), network = ToUpper(base);
            const auto sum = [&](const char* extension) {
                return Checksum(testing::ReadBytes(base + extension), network);
            };
            EXPECT_EQ(sum(".PRJ") + sum(version == 1 ? ".TOB" : ".OBS") + sum(".TCO"),
                      std::string(prj) + obs + tco);
            EXPECT_EQ(ui.messages.size(), 0u) << version;
            if (!checked) continue;
            // The check saw every point, and says when degrees are reduced with gon constants.
            ASSERT_TRUE(check.Report());
            EXPECT_GT(check.Report()->points.size(), 4000u);
            const auto& found = check.Report()->findings;
            const bool note = std::any_of(found.begin(), found.end(), [](const Finding& f) {
                return f.text.find("200 en 400 (gon)") != std::string::npos;
            });
            EXPECT_EQ(note, face2to1) << version;
        }
    }
}

}  // namespace
}  // namespace talvik
