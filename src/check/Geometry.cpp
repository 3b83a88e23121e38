#include "check/Geometry.h"

namespace talvik::geometry {

double Wrap(double angle) {
    if (!(angle > -kTwoPi && angle < kTwoPi)) angle = std::fmod(angle, kTwoPi);
    if (angle > kPi) angle -= kTwoPi;
    if (angle <= -kPi) angle += kTwoPi;
    return angle;
}

std::optional<SimilarityFit> FitSimilarity(std::span<const Plan> local,
                                           std::span<const Plan> world) {
    if (local.size() != world.size() || local.empty()) return std::nullopt;
    std::complex<double> localMean;
    std::complex<double> worldMean;
    for (std::size_t i = 0; i < local.size(); ++i) {
        localMean += std::complex<double>(local[i].x, local[i].y);
        worldMean += std::complex<double>(world[i].x, world[i].y);
    }
    const double n = static_cast<double>(local.size());
    localMean /= n;
    worldMean /= n;
    std::complex<double> cross;
    double norm = 0.0;
    for (std::size_t i = 0; i < local.size(); ++i) {
        const std::complex<double> l = std::complex<double>(local[i].x, local[i].y) - localMean;
        const std::complex<double> w = std::complex<double>(world[i].x, world[i].y) - worldMean;
        cross += w * std::conj(l);
        norm += std::norm(l);
    }
    if (norm <= 0.0) return std::nullopt;
    const std::complex<double> factor = cross / norm;
    return SimilarityFit{worldMean - factor * localMean, factor};
}

std::optional<Crossing> CrossRays(Plan p, double a, Plan q, double b) {
    const double ux = std::sin(a), uy = std::cos(a);
    const double vx = std::sin(b), vy = std::cos(b);
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double det = ux * (-vy) - uy * (-vx);
    if (det == 0.0) return std::nullopt;
    const double t = (dx * (-vy) - dy * (-vx)) / det;
    const double u = (ux * dy - uy * dx) / det;
    if (t <= 0.0 || u <= 0.0) return std::nullopt;  // the rays meet behind a station
    return Crossing{{p.x + t * ux, p.y + t * uy}, t, u, std::abs(std::sin(b - a))};
}

}  // namespace talvik::geometry
