#include "check/LeastSquares.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cmath>
#include <future>

#include "check/Dissection.h"
#include "model/Beside.h"

namespace talvik::adjustment {

namespace {

using Matrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
using Permutation = Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int>;
// The normal equations are ordered here (a fill-reducing order, known before anything is
// factored), so the factor takes them as they come.
using Ldlt = Eigen::SimplicialLDLT<Matrix, Eigen::Lower, Eigen::NaturalOrdering<int>>;

// A pivot smaller than this part of its diagonal means the unknown is not determined: what is
// left of it after the unknowns before it is rounding.
constexpr double kWeakPivot = 1e-10;

// Minimum degree's order is kept below this work (the factor takes a few tenths of a second),
// and where nested dissection does not take a tenth of it away.
constexpr double kWorkToDissect = 1e8;
constexpr double kDissectionGain = 0.9;

// Σ|L(:,j)|² of the factor of the ordered matrix `lower` (its lower triangle), counted from the
// elimination tree without making L; stops and gives a larger number once `most` is passed.
double FactorWork(const Matrix& lower, double most) {
    const int n = static_cast<int>(lower.cols());
    // Row k of L is what the entries of row k of the lower triangle reach up the tree.
    const Matrix upper = lower.transpose();
    std::vector<int> parent(static_cast<std::size_t>(n), -1);
    std::vector<int> mark(static_cast<std::size_t>(n), -1);
    std::vector<double> count(static_cast<std::size_t>(n), 0.0);
    double work = 0.0;
    for (int k = 0; k < n; ++k) {
        mark[static_cast<std::size_t>(k)] = k;
        for (Matrix::InnerIterator it(upper, k); it; ++it) {
            for (int i = static_cast<int>(it.index());
                 i < k && mark[static_cast<std::size_t>(i)] != k;
                 i = parent[static_cast<std::size_t>(i)]) {
                const auto at = static_cast<std::size_t>(i);
                if (parent[at] < 0) parent[at] = k;
                work += 2.0 * count[at] + 1.0;  // (c + 1)² - c²
                count[at] += 1.0;
                mark[at] = k;
            }
        }
        if (work > most) return work;
    }
    return work;
}

// Where each column of the selected inverse is worked: kAbove first, alone; then the subtrees
// marked 0 and 1, at once.
constexpr std::int8_t kAbove = -1;
// Less work than this (Σ|L(:,j)|²) is not worth a thread.
constexpr double kWorkBeside = 1e5;

// Splits the elimination tree (`parent` of each column, -1 at a root; a parent is always a later
// column) into two shares of subtrees of about equal work, beside the columns above them: the
// largest subtree is opened (its root goes above) as long as it alone outweighs all the others.
std::vector<std::int8_t> ShareSubtrees(const std::vector<int>& parent,
                                       const std::vector<double>& work, double least) {
    const std::size_t n = parent.size();
    std::vector<std::int8_t> share(n, kAbove);
    std::vector<double> below(work);  // of each subtree
    std::vector<std::vector<int>> children(n);
    std::vector<int> roots;
    double total = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
        total += work[j];
        if (parent[j] < 0) {
            roots.push_back(static_cast<int>(j));
        } else {
            below[static_cast<std::size_t>(parent[j])] += below[j];
            children[static_cast<std::size_t>(parent[j])].push_back(static_cast<int>(j));
        }
    }
    if (total < least) return share;
    const auto lighter = [&](int a, int b) {
        return below[static_cast<std::size_t>(a)] < below[static_cast<std::size_t>(b)];
    };
    std::vector<int> open = roots;  // a heap of subtrees, the largest on top
    std::make_heap(open.begin(), open.end(), lighter);
    double rest = 0.0;  // of the open subtrees
    for (const int r : roots)
        rest += below[static_cast<std::size_t>(r)];
    while (!open.empty()) {
        const int top = open.front();
        const double heaviest = below[static_cast<std::size_t>(top)];
        if (heaviest <= rest - heaviest) break;
        std::pop_heap(open.begin(), open.end(), lighter);
        open.pop_back();
        rest -= heaviest;
        for (const int c : children[static_cast<std::size_t>(top)]) {
            open.push_back(c);
            std::push_heap(open.begin(), open.end(), lighter);
            rest += below[static_cast<std::size_t>(c)];
        }
    }
    // The largest first, each to the lighter share.
    std::sort(open.begin(), open.end(), [&](int a, int b) { return lighter(b, a); });
    double weight[2] = {0.0, 0.0};
    for (const int r : open) {
        const int to = weight[1] < weight[0] ? 1 : 0;
        share[static_cast<std::size_t>(r)] = static_cast<std::int8_t>(to);
        weight[to] += below[static_cast<std::size_t>(r)];
    }
    for (std::size_t j = n; j-- > 0;)
        if (share[j] == kAbove && parent[j] >= 0)
            share[j] = share[static_cast<std::size_t>(parent[j])];
    return share;
}

bool SamePattern(const Matrix& a, const Matrix& b) {
    return a.cols() == b.cols() && a.nonZeros() == b.nonZeros() &&
           std::equal(a.outerIndexPtr(), a.outerIndexPtr() + a.cols() + 1, b.outerIndexPtr()) &&
           std::equal(a.innerIndexPtr(), a.innerIndexPtr() + a.nonZeros(), b.innerIndexPtr());
}

}  // namespace

struct NormalEquations::Impl {
    Order choice = Order::LessWork;
    Ldlt factor;
    Matrix analysed;            // the pattern the order and the factor's analysis were made for
    Permutation order;          // unknown u -> its place in the factor: order.indices()[u]
    std::vector<int> permuted;  // the same, as a plain table
    // The selected inverse in the factor's order, on the pattern of L: the strictly lower
    // entries beside L's values, and the diagonal.
    std::vector<double> lower;
    std::vector<double> diagonal;
    bool inverted = false;
};

NormalEquations::NormalEquations(Order order) : impl_(std::make_unique<Impl>()) {
    impl_->choice = order;
}
NormalEquations::~NormalEquations() = default;

bool NormalEquations::Factor(std::size_t unknowns, std::span<const Equation> equations,
                             std::vector<std::uint32_t>& weak) {
    weak.clear();
    impl_->inverted = false;
    std::vector<Eigen::Triplet<double, int>> entries;
    std::size_t pairs = 0;
    for (const Equation& e : equations)
        pairs += std::size_t{e.count} * (e.count + 1u) / 2u;
    entries.reserve(pairs + unknowns);
    std::vector<double> diagonal(unknowns, 0.0);
    for (const Equation& e : equations) {
        const double p = 1.0 / (e.sigma * e.sigma);
        for (std::uint8_t k = 0; k < e.count; ++k) {
            for (std::uint8_t l = 0; l < e.count; ++l) {
                const auto row = static_cast<int>(e.unknown[k]);
                const auto col = static_cast<int>(e.unknown[l]);
                if (row < col) continue;
                entries.emplace_back(row, col, p * e.a[k] * e.a[l]);
            }
            diagonal[e.unknown[k]] += p * e.a[k] * e.a[k];
        }
    }
    // An unknown no equation reaches is weak before anything is factored.
    for (std::uint32_t u = 0; u < unknowns; ++u)
        if (!(diagonal[u] > 0.0)) weak.push_back(u);
    if (!weak.empty()) return false;
    const auto n = static_cast<int>(unknowns);
    Matrix normal(n, n);
    normal.setFromTriplets(entries.begin(), entries.end());
    entries = {};
    Matrix ordered(n, n);
    // The iterations of one adjustment have the same pattern: it is ordered and analysed once.
    const bool again = SamePattern(normal, impl_->analysed);
    if (!again) {
        impl_->analysed.resize(0, 0);
        const Matrix full = normal.selfadjointView<Eigen::Lower>();
        {
            Permutation inverse;
            Eigen::AMDOrdering<int>()(full, inverse);
            impl_->order = inverse.inverse();
        }
        ordered.selfadjointView<Eigen::Lower>() =
            normal.selfadjointView<Eigen::Lower>().twistedBy(impl_->order);
        const double work = FactorWork(ordered, kMostWork);
        if (work > kMostWork) return false;
        // A large network is parted by nested dissection where that takes less work.
        const Order choice = impl_->choice;
        if ((choice == Order::LessWork && work > kWorkToDissect) || choice == Order::Dissection) {
            std::vector<int> start(static_cast<std::size_t>(n) + 1, 0);
            std::vector<int> adjacent;
            adjacent.reserve(static_cast<std::size_t>(full.nonZeros()));
            for (int v = 0; v < n; ++v) {
                for (Matrix::InnerIterator it(full, v); it; ++it)
                    if (it.index() != v) adjacent.push_back(static_cast<int>(it.index()));
                start[static_cast<std::size_t>(v) + 1] = static_cast<int>(adjacent.size());
            }
            const std::vector<int> eliminated = DissectionOrder(start, adjacent);
            Permutation dissected(n);
            for (int k = 0; k < n; ++k)
                dissected.indices()[eliminated[static_cast<std::size_t>(k)]] = k;
            Matrix cut(n, n);
            cut.selfadjointView<Eigen::Lower>() =
                normal.selfadjointView<Eigen::Lower>().twistedBy(dissected);
            const double less = FactorWork(cut, work);
            if (less < kDissectionGain * work || choice == Order::Dissection) {
                impl_->order = dissected;
                ordered = std::move(cut);
            }
        }
        impl_->factor.analyzePattern(ordered);
        impl_->analysed = normal;
        const auto& indices = impl_->order.indices();
        impl_->permuted.assign(indices.data(), indices.data() + indices.size());
    } else {
        ordered.selfadjointView<Eigen::Lower>() =
            normal.selfadjointView<Eigen::Lower>().twistedBy(impl_->order);
    }
    impl_->factor.factorize(ordered);
    std::vector<std::uint32_t> original(unknowns);
    for (std::uint32_t u = 0; u < unknowns; ++u)
        original[static_cast<std::size_t>(impl_->permuted[u])] = u;
    const auto& d = impl_->factor.vectorD();
    // A factorisation that stopped at a zero pivot has the pivots up to it.
    const bool complete = impl_->factor.info() == Eigen::Success;
    for (int k = 0; k < n; ++k) {
        const std::uint32_t u = original[static_cast<std::size_t>(k)];
        if (k >= d.size() || !(d[k] > kWeakPivot * diagonal[u])) {
            weak.push_back(u);
            if (!complete) break;
        }
    }
    return weak.empty();
}

std::vector<double> NormalEquations::Solve(std::span<const Equation> equations) const {
    const auto n = static_cast<Eigen::Index>(impl_->permuted.size());
    Eigen::VectorXd right = Eigen::VectorXd::Zero(n);
    for (const Equation& e : equations) {
        const double p = 1.0 / (e.sigma * e.sigma);
        for (std::uint8_t k = 0; k < e.count; ++k)
            right[e.unknown[k]] += p * e.a[k] * e.misclosure;
    }
    const Eigen::VectorXd dx = impl_->order.transpose() * impl_->factor.solve(impl_->order * right);
    return {dx.data(), dx.data() + dx.size()};
}

// Takahashi's recurrence on the factor N = P'·L·D·Lᵀ·P: with Z = N⁻¹ in the factor's order,
// Z = D⁻¹L⁻¹ + (I - Lᵀ)Z, worked from the last column back. A column j needs Z only at the pairs
// of its own pattern, and those lie on L's pattern (the pattern of a Cholesky factor is
// chordal), so the work is Σ|L(:,j)|² and the store is L's.
//
// The rows of column j are ancestors of j in the elimination tree (the parent of j is its first
// row), so a column needs only the columns on its way to the root: two subtrees that do not
// contain each other are worked at once, after the columns above them. Each column is worked
// alike on either thread, so the cofactors do not depend on how the work was shared.
void NormalEquations::SelectInverse(bool beside) {
    const auto& l = impl_->factor.matrixL().nestedExpression();
    const auto& d = impl_->factor.vectorD();
    const int n = static_cast<int>(l.cols());
    const int* start = l.outerIndexPtr();
    const int* rows = l.innerIndexPtr();
    const double* values = l.valuePtr();
    const int* ends = l.innerNonZeroPtr();  // null when compressed
    const auto end = [&](int j) { return ends ? start[j] + ends[j] : start[j + 1]; };
    impl_->lower.assign(static_cast<std::size_t>(start[n]), 0.0);
    impl_->diagonal.assign(static_cast<std::size_t>(n), 0.0);
    double* lower = impl_->lower.data();
    double* diagonal = impl_->diagonal.data();
    const auto column = [&](int j, std::vector<double>& sum) {
        const int first = start[j];
        const int count = end(j) - first;
        sum.assign(static_cast<std::size_t>(count), 0.0);
        for (int a = 0; a < count; ++a) {
            const int k = rows[first + a];
            const double lkj = values[first + a];
            // Z(k,k) and Z(i,k) for the rows i > k of column j, found in column k.
            sum[static_cast<std::size_t>(a)] -= lkj * diagonal[k];
            const int rest = count - a - 1;  // rows of column j below k
            if (rest == 0) continue;
            const int stop = end(k);
            // Column k holds every row of column j below k (the factor's pattern is chordal),
            // mostly after rows of its own: the walk begins where the first of them is.
            int at = static_cast<int>(
                std::lower_bound(rows + start[k], rows + stop, rows[first + a + 1]) - rows);
            const double* below = values + first + a + 1;
            double* sums = sum.data() + a + 1;
            double own = sum[static_cast<std::size_t>(a)];
            if (at + rest <= stop && rows[at] == rows[first + a + 1] &&
                rows[at + rest - 1] == rows[first + count - 1]) {
                // Side by side in column k as in column j (columns of one supernode, mostly).
                const double* z = lower + at;
                for (int b = 0; b < rest; ++b) {
                    sums[b] -= lkj * z[b];
                    own -= below[b] * z[b];
                }
            } else {
                for (int b = 0; b < rest; ++b) {
                    const int i = rows[first + a + 1 + b];
                    while (at < stop && rows[at] < i)
                        ++at;
                    if (at == stop || rows[at] != i) continue;  // not on the pattern: zero in L
                    const double zik = lower[at];
                    sums[b] -= lkj * zik;
                    own -= below[b] * zik;
                }
            }
            sum[static_cast<std::size_t>(a)] = own;
        }
        double zjj = 1.0 / d[j];
        for (int a = 0; a < count; ++a) {
            lower[first + a] = sum[static_cast<std::size_t>(a)];
            zjj -= values[first + a] * sum[static_cast<std::size_t>(a)];
        }
        diagonal[j] = zjj;
    };
    std::vector<int> parent(static_cast<std::size_t>(n));
    std::vector<double> work(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) {
        const int count = end(j) - start[j];
        parent[static_cast<std::size_t>(j)] = count > 0 ? rows[start[j]] : -1;
        work[static_cast<std::size_t>(j)] = static_cast<double>(count) * count + 1.0;
    }
    const std::vector<std::int8_t> share =
        beside ? ShareSubtrees(parent, work, kWorkBeside)
               : std::vector<std::int8_t>(static_cast<std::size_t>(n), kAbove);
    const bool shared = std::find(share.begin(), share.end(), 1) != share.end();
    std::vector<double> sum;
    for (int j = n - 1; j >= 0; --j)
        if (share[static_cast<std::size_t>(j)] == kAbove) column(j, sum);
    const auto part = [&](std::int8_t which) {
        std::vector<double> own;
        for (int j = n - 1; j >= 0; --j)
            if (share[static_cast<std::size_t>(j)] == which) column(j, own);
    };
    {
        std::future<void> other = RunBeside([&] { part(1); }, shared);
        part(0);
        other.get();
    }
    impl_->inverted = true;
}

double NormalEquations::Cofactor(std::uint32_t i, std::uint32_t j) const {
    int pi = impl_->permuted[i];
    int pj = impl_->permuted[j];
    if (pi == pj) return impl_->diagonal[static_cast<std::size_t>(pi)];
    if (pi < pj) std::swap(pi, pj);  // row pi > column pj
    const auto& l = impl_->factor.matrixL().nestedExpression();
    const int* start = l.outerIndexPtr();
    const int* rows = l.innerIndexPtr();
    const int* ends = l.innerNonZeroPtr();
    const int stop = ends ? start[pj] + ends[pj] : start[pj + 1];
    const int* found = std::lower_bound(rows + start[pj], rows + stop, pi);
    if (found == rows + stop || *found != pi) return 0.0;
    return impl_->lower[static_cast<std::size_t>(found - rows)];
}

double NormalEquations::ResidualCofactor(const Equation& e) const {
    double q = 0.0;
    for (std::uint8_t k = 0; k < e.count; ++k) {
        q += e.a[k] * e.a[k] * Cofactor(e.unknown[k], e.unknown[k]);
        for (std::uint8_t l = 0; l < k; ++l)
            q += 2.0 * e.a[k] * e.a[l] * Cofactor(e.unknown[k], e.unknown[l]);
    }
    return e.sigma * e.sigma - q;
}

}  // namespace talvik::adjustment
