#pragma once
// Pure plane and height geometry of the network check: no points, no set-ups, no choices; numbers
// in, numbers out. X east, Y north, bearings clockwise from north, angles in radians, metres.

#include <cmath>
#include <complex>
#include <optional>
#include <span>

namespace talvik::geometry {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kGon = kPi / 200.0;
// Earth curvature and refraction in trigonometric heighting.
inline constexpr double kEarthRadius = 6381000.0;
inline constexpr double kRefraction = 0.13;

struct Plan {
    double x = 0.0;
    double y = 0.0;
};

// The length of (a, b). Coordinates and standard deviations are far from overflowing a square.
inline double Length(double a, double b) {
    return std::sqrt(a * a + b * b);
}
inline double Distance(Plan a, Plan b) {
    return Length(b.x - a.x, b.y - a.y);
}

// An angle difference brought into (-pi, pi].
double Wrap(double angle);

// The bearing from a to b.
inline double Bearing(Plan a, Plan b) {
    return std::atan2(b.x - a.x, b.y - a.y);
}

// The point at `horizontal` metres from `from` along `bearing`.
inline Plan PolarPoint(Plan from, double bearing, double horizontal) {
    return {from.x + horizontal * std::sin(bearing), from.y + horizontal * std::cos(bearing)};
}

// The plane similarity transform world = origin + factor * local (complex factor) that fits the
// local points onto the world points by least squares; nothing when the local points coincide.
// In (x, y) = (east, north) the factor turns clockwise by the orientation:
// factor = scale * e^(-i orientation).
struct SimilarityFit {
    std::complex<double> origin;
    std::complex<double> factor;
    double Scale() const { return std::abs(factor); }
    double Orientation() const { return -std::arg(factor); }
    Plan Apply(Plan local) const {
        const std::complex<double> w = origin + factor * std::complex<double>(local.x, local.y);
        return {w.real(), w.imag()};
    }
};
std::optional<SimilarityFit> FitSimilarity(std::span<const Plan> local,
                                           std::span<const Plan> world);

// Where two rays from p (bearing a) and q (bearing b) meet: the distances along each, and the
// sine of the angle they cross under. Nothing when they are parallel or meet behind a station.
struct Crossing {
    Plan point;
    double alongP = 0.0;
    double alongQ = 0.0;
    double cut = 0.0;  // |sin| of the crossing angle
};
std::optional<Crossing> CrossRays(Plan p, double a, Plan q, double b);

// Earth curvature less refraction over a sight of this horizontal length: added to the height
// difference from station to target.
inline double Curvature(double horizontal) {
    return horizontal * horizontal * ((1.0 - kRefraction) / (2.0 * kEarthRadius));
}

// Trigonometric heighting from a slope distance: the horizontal length and the height difference
// (instrument height less target height in `offset`).
struct SlopeReduced {
    double horizontal = 0.0;
    double heightDifference = 0.0;
};
inline SlopeReduced ReduceSlope(double slope, double zenith, double offset) {
    const double h = slope * std::sin(zenith);
    return {h, slope * std::cos(zenith) + Curvature(h) + offset};
}

// The height difference a zenith angle gives over a known horizontal length h.
inline double HeightFromZenith(double h, double zenith, double offset) {
    return h * (std::cos(zenith) / std::sin(zenith)) + Curvature(h) + offset;
}

// Variances of a trigonometric height difference. From a slope distance: zenith angle σ_z (rad)
// over h, the distance's σ_d along cos z, and the instrument and target heights (σ_i each).
inline double SlopeHeightVariance(double h, double cosZenith, double sigmaZenith,
                                  double sigmaDistance, double sigmaInstrument) {
    const double z = sigmaZenith * h;
    const double d = sigmaDistance * cosZenith;
    return z * z + d * d + 2.0 * sigmaInstrument * sigmaInstrument;
}
// From a zenith angle over a horizontal length h whose σ is sigmaLength.
inline double ZenithHeightVariance(double h, double zenith, double sigmaZenith, double sigmaLength,
                                   double sigmaInstrument) {
    const double sine = std::sin(zenith);
    const double z = sigmaZenith * h / (sine * sine);
    const double d = sigmaLength * (std::cos(zenith) / sine);
    return z * z + d * d + 2.0 * sigmaInstrument * sigmaInstrument;
}

}  // namespace talvik::geometry
