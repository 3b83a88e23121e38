#pragma once
// The small check report both fronts' sketch windows are drawn with in the tests: two known
// points (the second flagged), a placed one, one without a place, an error and a warning.

#include "check/NetworkCheck.h"

namespace talvik::testing {

inline CheckReport SampleCheckReport() {
    CheckReport report;
    report.points = {{"K1", PointState::Known, 1000.0, 2000.0},
                     {"K2", PointState::Known, 1100.0, 2000.0, 0.0, false, true},
                     {"P3", PointState::Placed, 1000.0, 2060.0},
                     {"U4", PointState::NotPlaced}};
    report.findings = {{Severity::Error, "K2", {1}}, {Severity::Warning, "K1 P3", {0, 2}}};
    return report;
}

}  // namespace talvik::testing
