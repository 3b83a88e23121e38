#pragma once
// The small check report both fronts' sketch windows are drawn with in the tests: two known
// points (the second flagged), a placed one, one without a place, an error and a warning in
// the check's own words.

#include "check/NetworkCheck.h"

namespace talvik::testing {

inline CheckReport SampleCheckReport() {
    CheckReport report;
    report.points = {
        {.name = "K1", .x = 1000.0, .y = 2000.0, .state = PointState::Known},
        {.name = "K2", .x = 1100.0, .y = 2000.0, .state = PointState::Known, .flagged = true},
        {.name = "P3", .x = 1000.0, .y = 2060.0, .state = PointState::Placed},
        {.name = "U4", .state = PointState::NotPlaced}};
    report.findings = {
        {Severity::Error,
         "bekend punt K2: vanuit K1 berekend op 0.120 m van de bekende co\xF6rdinaten "
         "(toegestaan 0.010 m)",
         {1}},
        {Severity::Warning,
         "standplaats K1: slechts \xE9\xE9n richting (naar P3); zonder bekende ori\xEBntatie "
         "voegt die niets toe",
         {0, 2}}};
    return report;
}

}  // namespace talvik::testing
