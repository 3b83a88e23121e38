#pragma once
// A least-squares adjustment of the whole network from approximate coordinates: directions with
// one orientation unknown per set-up, horizontal distances, height differences (a zenith angle
// with its slope distance) or zenith angles alone, the known points held by their coordinates at
// the export's standard deviations, and the instrument height of every set-up that measures
// heights held at what was booked, within SigmaInst (one measurement shared by all its sights).
// Plane and heights are one system; a sight's horizontal distance and height difference are taken
// as two independent observations.
//
// Units: metres and radians; X east, Y north, bearings clockwise from north.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "check/LeastSquares.h"

namespace talvik::adjustment {

// The standard deviations as the export writes them (numbers), see docs/check.md.
struct Sigmas {
    double absHor = 0.003;   // gon
    double relHor = 0.0003;  // gon per km
    double absVer = 0.003;
    double relVer = 0.0003;
    double absDis = 0.002;  // m
    double relDis = 2.0;    // ppm
    double sdXY = 0.003;
    double sdZ = 0.003;
    double sigmaCent = 0.003;
    double sigmaInst = 0.005;
};

struct NetPoint {
    std::string name;
    double x = 0.0, y = 0.0, h = 0.0;  // approximate, or known
    bool known = false;
    bool placed = false;     // known points count as placed
    bool hasHeight = false;  // a height to start from
};

// One observation record, face 2 already reduced to face 1.
struct Reading {
    std::uint32_t station = 0, target = 0;  // indices into points
    std::uint32_t setUp = 0;
    std::uint32_t line = 0;  // of the field file, 0 when not known
    std::uint8_t face = 1;
    bool hasDirection = false;
    double direction = 0.0;   // rad
    double zenith = 0.0;      // rad, 0 when none
    double slope = 0.0;       // m, a slope distance beside the zenith angle; 0 when none
    double horizontal = 0.0;  // m, a horizontal distance; 0 when none
    double instrumentHeight = 0.0, targetHeight = 0.0;
};

struct Network {
    std::vector<NetPoint> points;
    std::vector<Reading> readings;
    std::uint32_t setUps = 0;
};

// The quantities that are adjusted and tested.
enum class ObservationKind : std::uint8_t {
    Direction,
    Distance,          // horizontal: booked so, or slope · sin z
    HeightDifference,  // slope · cos z + curvature + instrument height - target height
    Zenith,            // a zenith angle without a distance
    KnownX,
    KnownY,
    KnownH,
    InstrumentHeight,  // a set-up's instrument height as booked: its error is 0 within SigmaInst
};

// One reading of a sight: its record and its value (of the sight's kind).
struct Member {
    std::uint32_t reading = 0;
    double value = 0.0;
    bool active = true;
};

// What is adjusted: the mean of a sight's readings of one kind, a known coordinate, or a
// set-up's instrument height. A sight is one set-up's target with one instrument and target
// height: its readings share the centring of instrument and target and the target's height, so
// their covariance is readVariance·I + shared·11ᵀ, and the adjustment of their mean with
// variance readVariance/n + shared is the adjustment of the readings themselves. The
// instrument's height is shared by all sights of the set-up: it is an unknown of its own, held
// by an observation of its error (0, σ SigmaInst), which is the same as that covariance.
struct Observation {
    ObservationKind kind = ObservationKind::Direction;
    // The sight's first reading (its names); for Known*: the point; for InstrumentHeight: a
    // height reading of the set-up (its station).
    std::uint32_t reading = 0;
    double value = 0.0;                  // the mean of the active readings
    double sigma = 1.0;                  // of that mean
    bool active = true;                  // false once rejected whole (or out of the adjustment)
    std::uint32_t first = 0, count = 0;  // the sight's readings in Members(), 0 for Known*
    std::uint32_t n = 1;                 // of them active
    double readVariance = 0.0;           // of one reading
    double shared = 0.0;                 // shared by the sight's readings
};

// What each observation gives after the adjustment.
struct Tested {
    double residual = 0.0;  // observed mean - adjusted (the sign of a blunder)
    double cofactor = 0.0;  // of that residual (Q_vv)
    double redundancy = 0.0;
    double w = 0.0;  // normalised; 0 when not testable
};

struct AdjustedPoint {
    double x = 0.0, y = 0.0, h = 0.0;
    double sx = 0.0, sy = 0.0, sh = 0.0;
    bool adjusted = false;        // in the plane
    bool heightAdjusted = false;  // in height
    double qxy = 0.0;             // cofactor of x and y
};

// The adjustment of one network; Run may be called again after observations are set inactive.
class Adjustment {
  public:
    Adjustment(const Network& network, const Sigmas& sigmas);

    const std::vector<Observation>& Observations() const { return observations_; }
    const std::vector<Member>& Members() const { return members_; }
    // Takes a reading (`member`, an index into Members()) out of its sight, or the whole
    // observation (member < 0); Run again afterwards.
    void Reject(std::uint32_t observation, std::int64_t member = -1);
    // The linearised equations of the active observations at the current coordinates, with the
    // observation each belongs to.
    void Linearise(std::vector<Equation>& equations, std::vector<std::uint32_t>& of) const;
    const Network& Net() const { return network_; }

    // Iterates to convergence from the current coordinates. False when it diverged (or nothing
    // is left to adjust); true with Converged() false when it was still moving after its last
    // iteration (the residuals are then those of the last step). Points or set-ups that turn out
    // undetermined are taken out (Dropped) and the adjustment is repeated without them.
    bool Run();
    bool Converged() const { return converged_; }

    const std::vector<AdjustedPoint>& Points() const { return adjusted_; }
    const std::vector<Tested>& Results() const { return tested_; }
    std::size_t Redundancy() const { return redundancy_; }
    std::size_t Unknowns() const { return unknowns_; }
    // The readings and known coordinates in the adjustment.
    std::size_t ActiveObservations() const { return active_; }
    // Of those, the readings (the known points' coordinates left out).
    std::size_t ActiveReadings() const { return activeReadings_; }
    double VarianceFactor() const { return varianceFactor_; }
    // Points the adjustment could not determine (names), left to the check's own findings.
    const std::vector<std::uint32_t>& Dropped() const { return dropped_; }
    // Run gave up because the normal equations would take too long to factor.
    bool TooLarge() const { return tooLarge_; }

  private:
    struct Place {
        std::int64_t xy = -1;  // unknown of x (y the next), -1 when not adjusted
        std::int64_t h = -1;
    };
    void Number();
    void Mean(Observation& o);
    bool Equate(const Observation& o, Equation& e) const;

    Network network_;
    Sigmas sigmas_;
    std::vector<Observation> observations_;
    std::vector<Member> members_;
    std::vector<Place> places_;
    std::vector<std::int64_t> orientation_;  // per set-up, -1 when none
    std::vector<double> orientationValue_;
    std::vector<bool> excluded_;        // per point: out of the plane
    std::vector<bool> heightExcluded_;  // per point
    std::vector<bool> setUpExcluded_;
    std::vector<bool> setUpHeightExcluded_;  // its heights out (its instrument height unknown)
    std::vector<std::int64_t> instrument_;   // per set-up: its instrument height's unknown, or -1
    std::vector<double> instrumentValue_;    // the booked height's error (m)
    std::vector<AdjustedPoint> adjusted_;
    std::vector<Tested> tested_;
    std::vector<std::uint32_t> dropped_;
    std::size_t unknowns_ = 0;
    std::size_t redundancy_ = 0;
    std::size_t active_ = 0;
    std::size_t activeReadings_ = 0;
    double varianceFactor_ = 0.0;
    bool tooLarge_ = false;
    bool converged_ = false;
};

// A reading's deviation from its sight's mean (directions wrapped).
double Deviation(const Observation& o, const Member& m);

// Earth curvature and refraction in trigonometric heighting, as the check's rules use them.
double CurvatureTerm(double horizontal);

}  // namespace talvik::adjustment
