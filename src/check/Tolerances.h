#pragma once
// The tolerances of the check's rules, one function per rule, as docs/check.md's table gives
// them. They read the export's standard deviations and the geometry of the sight, never the
// value under test.

#include <cstddef>

#include "check/NetworkCheck.h"

namespace talvik {

// Readings of one quantity that should agree (both faces, rounds, both ways) may differ by k
// standard deviations of their difference, k Bonferroni's critical value over the network's
// count of such comparisons at kPairAlpha per network (the adjustment's tests take the rest of
// the check's 1 %; where they judged a sight, its pair findings step aside): a sound network
// shows a false pair finding in at most 0.25 % of networks, whatever its size. k is never below
// kPairFactor.
inline constexpr double kPairAlpha = 0.0025;
inline constexpr double kPairFactor = 4.0;
// Two positions or heights of one point may differ by this many propagated standard deviations,
// and always by the floor below: the propagation is only approximate.
inline constexpr double kPositionFactor = 5.0;
inline constexpr double kPositionFloor = 0.05;

// The export's standard deviations as the check uses them: per reading over a sight of
// horizontal length h (angles in radians, lengths in metres).
class Sigmas {
  public:
    explicit Sigmas(const CheckChoices& c) : c_(c) {}
    double Direction(double h) const;  // σ_r(h)
    double Zenith(double h) const;     // σ_z(h)
    double Distance(double h) const;   // σ_d(h)
    double Centring() const { return c_.sigmaCent; }
    double InstrumentHeight() const { return c_.sigmaInst; }
    double KnownPosition() const { return c_.sdXY; }
    double KnownHeight() const { return c_.sdZ; }
    // The variance a polar sight of length h adds to its target's position, the set-up's
    // orientation known to orientationSigma: σ_d² + h²(σ_r² + σ_o²) + 2 σ_cent².
    double PolarVariance(double h, double orientationSigma) const;
    // The variance of a height difference measured with a slope distance: (h σ_z)² +
    // (σ_d cos z)² + 2 σ_inst².
    double SlopeHeightVariance(double h, double cosZenith) const;
    // One reading of a horizontal distance: σ_d² + (h cot z σ_z)² (a slope distance reduced
    // with its zenith angle; cos z 0 for a distance booked horizontal).
    double HorizontalVariance(double h, double cosZenith) const;
    // What one way of a pair measured both ways adds to the variance of their difference: the
    // mean of `readings` readings of one set-up, the centring (instrument and target) or the
    // instrument and target heights of that set-up added once.
    double WayDistanceVariance(double h, double cosZenith, int readings) const;
    double WayHeightVariance(double h, double cosZenith, int readings) const;
    // The variance of a height difference from a zenith angle over the distance between two
    // placed points whose positions have these σ.
    double ZenithHeightVariance(double h, double zenith, double sigmaStation,
                                double sigmaTarget) const;

  private:
    const CheckChoices& c_;
};

namespace tolerance {

// A point's position given twice (from the sight under test and as placed before), the variances
// of both added: the square of the tolerance, max(0.05 m, 5 σ)².
double PositionSquared(double variance);
// The same for a free set-up's fit: the residual of a target, max(0.05 m, 5 σ).
double Fit(double variance);
// The pair rules' critical value for a network that makes this many comparisons:
// max(4, Φ⁻¹(1 − kPairAlpha / (2 m))).
double PairCritical(std::size_t comparisons);
// A distance or height difference measured both ways, the variances of the two ways' means
// given: k·√(σ_there² + σ_home²).
double BothWays(double critical, double thereVariance, double homeVariance);
// The spread of the readings of one target in one set-up (faces, rounds), one reading's σ
// given: k·√2·σ (centring and heights are the same for all of them).
double Spread(double critical, double sigma);

}  // namespace tolerance

}  // namespace talvik
