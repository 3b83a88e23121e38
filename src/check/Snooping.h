#pragma once
// Data snooping on the adjusted network: every observation's normalised residual w against one
// critical value, the known points tested against each other (a shift of a point in the plane,
// two dimensions), the largest rejection taken out and the network adjusted again until nothing
// is rejected. The critical value is Bonferroni's over all tests, so that a sound network shows
// a false rejection in at most `alpha` of networks. The variance factor's global test at the end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check/Adjustment.h"
#include "model/Tables.h"

namespace talvik::adjustment {

// One test of the adjusted network: a reading against the rest of its sight and the network, a
// whole sight (all its readings off alike: a wrong target, a wrong height), or a known point
// against the other known points.
struct Test {
    std::uint32_t observation = 0;      // index into the adjustment's observations
    std::int64_t member = -1;           // the reading tested (into Members()), -1: the observation
    bool point = false;                 // a known point's test in the plane (χ², two degrees)
    double w = 0.0;                     // normalised; for a known point √T
    double estimate = 0.0;              // the blunder's estimated size (m or rad)
    double shiftX = 0.0, shiftY = 0.0;  // a known point's estimated shift
};

// Every test the adjustment's present state allows. For a sight of n > 1 readings with
// covariance σ²·I + c·11ᵀ, reading i (deviation d from the mean, ē the mean's residual,
// Q = σ²/n + c, q its residual's cofactor):
//   w = (d/σ² + ē/(nQ)) / √((1 - 1/n)/σ² + q/(n²Q²)),  ∇ = numerator / variance,
// and the sight as a whole: w = ē/√q, ∇ = ē·Q/q. A sight of one reading has the one test.
std::vector<Test> TestsOf(const Adjustment& adjustment);

struct Rejection {
    std::uint32_t observation = 0;  // index into the adjustment's observations
    ObservationKind kind = ObservationKind::Direction;
    std::uint32_t reading = 0;  // the reading rejected, a sight's first; or the known point
    bool sight = false;         // the whole sight: every reading of `readings`
    std::vector<std::uint32_t> readings;
    double w = 0.0;                     // for a known point: the square root of its test statistic
    double estimate = 0.0;              // the blunder's estimated size (m or rad)
    double shiftX = 0.0, shiftY = 0.0;  // a known point's estimated shift
};

// A sight whose readings of one kind the last adjustment tested: their mean against the
// network, and each reading against the others (points as the network's).
struct TestedSight {
    std::uint32_t station = 0, target = 0;
    ObservationKind kind = ObservationKind::Direction;
};

struct Verdict {
    bool ran = false;
    bool tooLarge = false;
    bool nothing = false;               // not run: no reading between placed points
    std::vector<Rejection> rejections;  // in the order they were taken out
    bool stoppedEarly = false;          // more rejections than kMostRejections
    std::size_t tests = 0;
    double critical = 0.0;       // for |w|
    double pointCritical = 0.0;  // for a known point's statistic (chi-square, 2 degrees)
    double varianceFactor = 0.0;
    double globalLimit = 0.0;  // the variance factor's limit at the global test's alpha
    std::size_t redundancy = 0;
    std::size_t observations = 0;
    std::size_t unknowns = 0;
    std::vector<AdjustedPoint> points;
    std::vector<std::uint32_t> dropped;  // points the adjustment could not determine
    std::vector<TestedSight> tested;
};

// False rejections per sound network, at most: three quarters of the whole check's 1 %, the
// rules having the rest (they step aside where these tests judged, so they need little).
inline constexpr double kNetworkAlpha = 0.0075;
inline constexpr double kGlobalAlpha = 0.01;
inline constexpr std::size_t kMostRejections = 50;

// The value exceeded by a standard normal variable's absolute value with probability alpha.
double TwoSidedNormalQuantile(double alpha);
// The value a chi-square variable of `degrees` exceeds with probability alpha (Wilson and
// Hilferty's approximation; exact for two degrees).
double ChiSquareQuantile(double alpha, double degrees);
// Bonferroni's critical value of |w| for `tests` tests sharing `alpha`.
double CriticalW(std::size_t tests, double alpha = kNetworkAlpha);

Verdict Snoop(const Network& network, const Sigmas& sigmas, double alpha = kNetworkAlpha);

// The finding's text of a rejection, in Dutch, angles in the file's unit.
std::string RejectionText(const Network& network, const Rejection& r, AngleUnit unit);
// The adjustment's summary (`opmerking`), and the global test's warning when it fails (empty
// when it passes).
std::string SummaryText(const Verdict& v);
std::string GlobalWarning(const Verdict& v);

}  // namespace talvik::adjustment
