#include "check/Tolerances.h"

#include <algorithm>
#include <cmath>

#include "check/Geometry.h"
#include "check/Snooping.h"

namespace talvik {

double Sigmas::Direction(double h) const {
    return (c_.absHor + c_.relHor * h / 1000.0) * geometry::kGon;
}
double Sigmas::Zenith(double h) const {
    return (c_.absVer + c_.relVer * h / 1000.0) * geometry::kGon;
}
double Sigmas::Distance(double h) const {
    return c_.absDis + c_.relDis * 1e-6 * h;
}

double Sigmas::PolarVariance(double h, double orientationSigma) const {
    const double d = Distance(h);
    const double a = Direction(h);
    const double o = orientationSigma;
    return d * d + (a * a + o * o) * h * h + 2.0 * c_.sigmaCent * c_.sigmaCent;
}

double Sigmas::SlopeHeightVariance(double h, double cosZenith) const {
    return geometry::SlopeHeightVariance(h, cosZenith, Zenith(h), Distance(h), c_.sigmaInst);
}

double Sigmas::ZenithHeightVariance(double h, double zenith, double sigmaStation,
                                    double sigmaTarget) const {
    return geometry::ZenithHeightVariance(
        h, zenith, Zenith(h), geometry::Length(sigmaStation, sigmaTarget), c_.sigmaInst);
}

double Sigmas::HorizontalVariance(double h, double cosZenith) const {
    const double d = Distance(h);
    const double sine = std::sqrt(std::max(0.0, 1.0 - cosZenith * cosZenith));
    const double across = sine > 0.0 ? h * cosZenith / sine * Zenith(h) : 0.0;
    return d * d + across * across;
}

double Sigmas::WayDistanceVariance(double h, double cosZenith, int readings) const {
    return HorizontalVariance(h, cosZenith) / std::max(readings, 1) +
           2.0 * c_.sigmaCent * c_.sigmaCent;
}

double Sigmas::WayHeightVariance(double h, double cosZenith, int readings) const {
    const double reading = geometry::SlopeHeightVariance(h, cosZenith, Zenith(h), Distance(h), 0.0);
    return reading / std::max(readings, 1) + 2.0 * c_.sigmaInst * c_.sigmaInst;
}

namespace tolerance {

double PositionSquared(double variance) {
    return std::max(kPositionFloor * kPositionFloor, kPositionFactor * kPositionFactor * variance);
}

double Fit(double variance) {
    return std::max(kPositionFloor, kPositionFactor * std::sqrt(variance));
}

double PairCritical(std::size_t comparisons) {
    return std::max(kPairFactor, adjustment::CriticalW(comparisons, kPairAlpha));
}

double BothWays(double critical, double thereVariance, double homeVariance) {
    return critical * std::sqrt(thereVariance + homeVariance);
}

double Spread(double critical, double sigma) {
    return critical * std::sqrt(2.0) * sigma;
}

}  // namespace tolerance

}  // namespace talvik
