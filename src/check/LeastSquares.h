#pragma once
// Weighted least squares on sparse normal equations (Eigen's simplicial LDLᵀ with a fill-reducing
// ordering), and the parts of the inverse that testing needs: the cofactors of the unknowns that
// share an observation, computed on the factor's own pattern (the selected inverse), never the
// whole inverse.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace talvik::adjustment {

// One observation, linearised: observed - computed = Σ a·dx + e, with standard deviation sigma.
struct Equation {
    static constexpr std::size_t kMost = 7;  // station and target x y h, one orientation
    double misclosure = 0.0;
    double sigma = 1.0;
    std::array<std::uint32_t, kMost> unknown{};
    std::array<double, kMost> a{};
    std::uint8_t count = 0;
    void Add(std::uint32_t u, double value) {
        unknown[count] = u;
        a[count++] = value;
    }
};

class NormalEquations {
  public:
    // The order of the unknowns in the factor: minimum degree, or nested dissection where that
    // takes less work on a large network; or either of them (to compare them).
    enum class Order { LessWork, MinimumDegree, Dissection };
    explicit NormalEquations(Order order = Order::LessWork);
    ~NormalEquations();
    NormalEquations(const NormalEquations&) = delete;
    NormalEquations& operator=(const NormalEquations&) = delete;

    // Work beyond this (multiplications of the factorisation, Σ|L(:,j)|²) is not begun: a
    // network so interwoven (random readings, say) is left to the check's other rules.
    static constexpr double kMostWork = 4e9;

    // Forms and factors Aᵀ P A. False when some unknowns are not determined by the equations:
    // `weak` then holds them (a pivot that vanished against the diagonal it began with); false
    // with `weak` empty when the factor would need more than kMostWork.
    bool Factor(std::size_t unknowns, std::span<const Equation> equations,
                std::vector<std::uint32_t>& weak);
    // The corrections of the unknowns after Factor.
    std::vector<double> Solve(std::span<const Equation> equations) const;
    // Computes the cofactors of the unknowns on the factor's pattern (every pair of unknowns of
    // one equation is among them). After Factor. `beside`: on a second thread as well, where
    // the work is worth it (the cofactors are the same to the last bit).
    void SelectInverse(bool beside = true);
    // A cofactor of the unknowns i and j; the pair must share an equation (or i == j).
    double Cofactor(std::uint32_t i, std::uint32_t j) const;
    // The cofactor of an equation's residual: sigma² - a Qxx aᵀ.
    double ResidualCofactor(const Equation& e) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace talvik::adjustment
