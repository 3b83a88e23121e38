// The check's coordinates as a file and as clipboard text: which points, which cells stay
// empty, and names that would break either form.

#include <gtest/gtest.h>

#include "check/CoordinateTable.h"

namespace talvik {
namespace {

CheckReport Report() {
    CheckReport report;
    report.points = {{.name = "K1", .x = 1000.0, .y = 2000.0, .z = 5.0, .state = PointState::Known},
                     {.name = "P,\"2", .x = 1010.12345, .y = -3.5, .state = PointState::Placed},
                     {.name = "A\tB",
                      .x = 1.0,
                      .y = 2.0,
                      .z = 3.25,
                      .state = PointState::Placed,
                      .adjusted = true,
                      .heightAdjusted = true,
                      .sx = 0.0012,
                      .sy = 0.00349,
                      .sh = 0.01},
                     {.name = "U4", .x = 9.0, .y = 9.0, .state = PointState::NotPlaced}};
    return report;
}

TEST(CoordinateTable, FileAndClipboardHoldTheSamePlacedPoints) {
    const struct {
        std::string (*make)(const CheckReport&);
        const char* expected;
    } cases[] = {
        {CoordinateTable,
         "punt,x,y,h,sx,sy,sh\r\n"
         "K1,1000.0000,2000.0000,5.0000,,,\r\n"
         "\"P,\"\"2\",1010.1235,-3.5000,,,,\r\n"
         "A\tB,1.0000,2.0000,3.2500,0.0012,0.0035,0.0100\r\n"},
        {CoordinateTabText,
         "punt\tx\ty\th\tsx\tsy\tsh\r\n"
         "K1\t1000.0000\t2000.0000\t5.0000\t\t\t\r\n"
         "P,\"2\t1010.1235\t-3.5000\t\t\t\t\r\n"
         "A B\t1.0000\t2.0000\t3.2500\t0.0012\t0.0035\t0.0100\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.make(Report()), c.expected);
}

}  // namespace
}  // namespace talvik
