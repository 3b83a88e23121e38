#pragma once
// The tolerances of the check's rules, one function per rule, as docs/check.md's table gives
// them. They read the export's standard deviations and the geometry of the sight, never the
// value under test.

#include "check/NetworkCheck.h"

namespace talvik {

// Readings of one quantity that should agree (both faces, both ways, rounds) may differ by this
// many standard deviations of their difference: a clean reading passes with 1 - 6e-5.
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
// A distance measured both ways (either way's mean horizontal length h):
// 4·√2·√(σ_d(h)² + 2 σ_cent²).
double BothWaysDistance(const Sigmas& sigmas, double h);
// A height difference measured both ways, one way's variance given: 4·√(2 σ_h²).
double BothWaysHeight(double variance);
// The spread of the readings of one target in one set-up (faces, rounds), one reading's σ
// given: 4·√2·σ.
double Spread(double sigma);

}  // namespace tolerance

}  // namespace talvik
