#include "check/FindingsTable.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace talvik {
namespace {

// The check's own texts split into the columns: the size is the last amount before the
// tolerance, whatever the rule's sentence (a rejection joined after it keeps its own words);
// a finding without a tolerance has neither.
TEST(FindingsTable, SplitsTheCheckTextsIntoColumns) {
    CheckReport report;
    report.points = {{.name = "A"}, {.name = "B"}};
    report.findings = {
        {Severity::Error,
         "hoogteverschil A-B: heen -0.042 m, terug -0.492 m, verschil 0.450 m (toegestaan 0.058 m)"
         "; vereffening: standplaats B, A: hoogteverschil (zenithoek) (kijkerstand 1, regel 9) "
         "verworpen, w 8.1, geschatte fout 0.449 m",
         {0, 1}},
        {Severity::Error,
         "standplaats A, B: richtingen in kijkerstand 1 en 2 verschillen 0.0123 gon van een halve "
         "cirkel (toegestaan 0.0042 gon)",
         {0, 1}},
        {Severity::Warning, "standplaats A: slechts \xE9\xE9n richting (naar B 12 m)", {0}},
    };
    report.notes = {"vrije standplaats A: schaal 1.0002"};
    report.errorsLeftOut = 3;
    FindingsTable table(report);
    const std::array<std::array<std::string, 5>, 5> rows = {{
        {"fout",
         "hoogteverschil A-B: heen -0.042 m, terug -0.492 m, verschil 0.450 m; vereffening: "
         "standplaats B, A: hoogteverschil (zenithoek) (kijkerstand 1, regel 9) verworpen, w 8.1, "
         "geschatte fout 0.449 m",
         "A, B", "0.450 m", "0.058 m"},
        {"fout",
         "standplaats A, B: richtingen in kijkerstand 1 en 2 verschillen 0.0123 gon van een halve "
         "cirkel",
         "A, B", "0.0123 gon", "0.0042 gon"},
        {"waarschuwing", "standplaats A: slechts \xE9\xE9n richting (naar B 12 m)", "A", "", ""},
        {"", "... en nog 3 niet getoond", "", "", ""},
        {"opmerking", "vrije standplaats A: schaal 1.0002", "", "", ""},
    }};
    ASSERT_EQ(table.Rows(), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < 5; ++c)
            EXPECT_EQ(table.Cell(r, c), rows[r][c]) << r << "," << c;
    }
    EXPECT_EQ(table.RowsOf(1), (std::vector<std::size_t>{0, 1}));
    // By size: numbers, not bytes (0.0123 before 0.450), the empty ones last.
    table.SortBy(FindingsTable::kSize);
    EXPECT_EQ(table.Cell(0, 3), "0.0123 gon");
    EXPECT_EQ(table.Cell(1, 3), "0.450 m");
    table.SortBy(0);
    EXPECT_EQ(table.Cell(2, 0), "waarschuwing");
    EXPECT_EQ(table.Cell(3, 0), "opmerking");
    EXPECT_EQ(CountText(report), "5 fouten, 1 waarschuwing");  // three left out
    report.findings.resize(1);
    report.errorsLeftOut = 0;
    EXPECT_EQ(CountText(report), "1 fout, 0 waarschuwingen");
}

}  // namespace
}  // namespace talvik
