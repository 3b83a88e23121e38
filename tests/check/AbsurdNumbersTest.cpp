// Numbers no survey can hold — a distance over 100 km or not finite, coordinates that are not
// finite or beyond any grid — are findings naming their record, and never reach a tolerance or
// the sketch.

#include <gtest/gtest.h>

#include "ObservedNetwork.h"
#include "check/Sketch.h"

namespace talvik::observed {
namespace {

Design Small() {
    Design d;
    d.truth = {{"A", {1000, 1000, 10}},
               {"B", {1300, 1040, 11}},
               {"C", {1100, 1400, 12}},
               {"P", {1150, 1200, 10.5}}};
    d.known = {"A", "B", "C"};
    d.setUps = {{"A", {{"B"}, {"C"}, {"P"}}}};
    return d;
}

TEST(AbsurdNumbers, AReadingNoSurveyHoldsIsNamedAndLeftOut) {
    struct Case {
        const char* target;
        double slope;
        const char* says;
    };
    const Case cases[] = {
        {"P", 1e154, "waarneming A-P: afstand 1e+154 kan geen meting zijn"},
        {"C", 1e100, "waarneming A-C: afstand 1e+100 kan geen meting zijn"},
        {"C", 1e10, "waarneming A-C: afstand 1e+10 kan geen meting zijn"},
        {"C", 100001.0, "waarneming A-C: afstand 100001 kan geen meting zijn"},
    };
    const Design d = Small();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        Booking b;
        b.change = [&](Reading& r) {
            if (r.target == c.target && r.face == 2) r.slope = c.slope;
        };
        const CheckReport report = Check(d, FieldFile(d, b));
        EXPECT_TRUE(Says(report, c.says)) << Errors(report);
        // The face-1 reading alone places P where it is; nothing else is found.
        EXPECT_EQ(report.Errors(), 1u) << Errors(report);
        EXPECT_LT(Miss(d, report, "P"), 0.001);
        EXPECT_EQ(SketchSvg(report).find("nan"), std::string::npos);
    }
}

TEST(AbsurdNumbers, KnownCoordinatesNoGridHoldsAreNamedAndNotUsed) {
    for (const double x : {std::numeric_limits<double>::infinity(), 1e300, -2e7}) {
        const Design d = Small();
        Design idex = d;
        idex.truth["C"].x = x;
        const CheckReport report = Check(idex, FieldFile(d));
        EXPECT_TRUE(Says(report, "punt C: co\xF6rdinaten ")) << Errors(report);
        // C is placed from A like any new point, and drawn where the readings put it.
        const CheckPoint& c = report.points[report.Find("C")];
        EXPECT_EQ(c.state, PointState::Placed);
        EXPECT_NEAR(c.x, 1100, 0.001);
        const std::string svg = SketchSvg(report);
        // No number of the drawing is "nan" or "inf" (the listed findings' words may hold them).
        for (const char* bad : {"=\"nan", "=\"inf", "=\"-inf", "Mnan", "Minf", "Lnan", "Linf"})
            EXPECT_EQ(svg.find(bad), std::string::npos) << bad;
    }
}

}  // namespace
}  // namespace talvik::observed
