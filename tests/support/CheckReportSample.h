#pragma once
// The small check report both fronts' sketch windows are drawn with in the tests: two known
// points (the second flagged), a placed one, one without a place, an error and a warning.

#include "check/NetworkCheck.h"

namespace talvik::testing {

inline CheckReport SampleCheckReport() {
    CheckReport report;
    report.points = {
        {.name = "K1", .x = 1000.0, .y = 2000.0, .state = PointState::Known},
        {.name = "K2", .x = 1100.0, .y = 2000.0, .state = PointState::Known, .flagged = true},
        {.name = "P3", .x = 1000.0, .y = 2060.0, .state = PointState::Placed},
        {.name = "U4", .state = PointState::NotPlaced}};
    report.findings = {{Severity::Error, "K2", {1}}, {Severity::Warning, "K1 P3", {0, 2}}};
    return report;
}

}  // namespace talvik::testing
