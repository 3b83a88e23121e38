// The check beside an export, on the export's own reading, against the check on a reading of
// its own.

#include <gtest/gtest.h>

#include "check/CheckReading.h"
#include "check/NetworkGenerator.h"
#include "interchange/IdexReader.h"
#include "project/Conversion.h"
#include "support/ReadBytes.h"
#include "support/TempFolder.h"

namespace talvik {
namespace {

ConversionOutcome ConvertWatched(const ExportOptions& options, PointTable& points,
                                 UserInterface& ui, ConversionWatcher& watcher) {
    FieldFileConversion conversion(options, points, ui);
    conversion.SetWatcher(&watcher);
    AngleUnitState unit;
    return conversion.Run(unit, nullptr);
}

// The check beside the export says what the check on its own reading says, the rejections'
// record lines included, also of a face-2 reading (which the export books in front of its
// set-up's face-1 readings).
TEST(ExportCheck, RejectionsNameTheirLinesAsTheCheckAloneDoes) {
    const testing::Design d = testing::Traverse(8);
    for (const int face : {1, 2}) {
        SCOPED_TRACE(face);
        testing::Booking b;
        b.change = testing::Blundered({3, "T4", face, 1, 0, 0, 0.48});
        testing::TempFolder dir;
        const std::string field = testing::FieldFile(d, b);
        testing::WriteBytes(dir.Path("net.fld"), field);
        testing::WriteBytes(dir.Path("net.idx"), testing::IdexFile(d));
        ExportOptions options;
        options.SelCode[1] = "K1";
        options.Fieldfile = dir.Path("net.fld");
        options.IdexFile = dir.Path("net.idx");
        options.Projectfile = dir.Path("net.prj");
        testing::RecordingUi ui;
        const std::optional<CheckReport> alone = CheckFiles(options, ui);
        ASSERT_TRUE(alone);
        PointTable points;
        ReadIdexFile(dir.Path("net.idx"), points, ui);
        ExportCheck check(options);
        ASSERT_EQ(ConvertWatched(options, points, ui, check), ConversionOutcome::Finished);
        ASSERT_TRUE(check.Report());
        std::string expected;
        std::string got;
        for (const Finding& f : alone->findings)
            expected += f.text + "\n";
        for (const Finding& f : check.Report()->findings)
            got += f.text + "\n";
        EXPECT_EQ(got, expected);
        const std::string line = std::to_string(testing::LineOf(field, d, 3, "T4", face - 1));
        EXPECT_NE(got.find("afstand (kijkerstand " + std::to_string(face) + ", regel " + line +
                           ") verworpen"),
                  std::string::npos)
            << got;
    }
}

}  // namespace
}  // namespace talvik
