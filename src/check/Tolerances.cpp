#include "check/Tolerances.h"

#include <algorithm>
#include <cmath>

#include "check/Geometry.h"

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

namespace tolerance {

double PositionSquared(double variance) {
    return std::max(kPositionFloor * kPositionFloor, kPositionFactor * kPositionFactor * variance);
}

double Fit(double variance) {
    return std::max(kPositionFloor, kPositionFactor * std::sqrt(variance));
}

double BothWaysDistance(const Sigmas& sigmas, double h) {
    const double sigma = geometry::Length(sigmas.Distance(h), std::sqrt(2.0) * sigmas.Centring());
    return kPairFactor * std::sqrt(2.0) * sigma;
}

double BothWaysHeight(double variance) {
    return kPairFactor * std::sqrt(2.0 * variance);
}

double Spread(double sigma) {
    return kPairFactor * std::sqrt(2.0) * sigma;
}

}  // namespace tolerance

}  // namespace talvik
