#include "check/Dissection.h"

#include <Eigen/OrderingMethods>
#include <Eigen/SparseCore>
#include <algorithm>
#include <cstddef>
#include <utility>

namespace talvik::adjustment {

namespace {

// Parts this small are ordered by minimum degree.
constexpr std::size_t kLeaf = 64;
// Searches for a vertex at the far end of a part (each a breadth-first search).
constexpr int kMostSearches = 4;

class Dissection {
  public:
    Dissection(std::span<const int> start, std::span<const int> adjacent)
        : start_(start),
          adjacent_(adjacent),
          n_(start.empty() ? 0 : start.size() - 1),
          part_(n_, 0),
          seen_(n_, 0),
          level_(n_, 0),
          local_(n_, -1) {
        order_.reserve(n_);
    }

    std::vector<int> Run() {
        std::vector<int> all(n_);
        for (std::size_t v = 0; v < n_; ++v)
            all[v] = static_cast<int>(v);
        Cut(std::move(all), 0);
        return std::move(order_);
    }

  private:
    // The vertices of part `id` reached from `root`, level by level: levels[k] begins at
    // begins[k] in `reached`. level_ holds each one's level.
    void Search(int root, int id, std::vector<int>& reached, std::vector<std::size_t>& begins) {
        ++stamp_;
        reached.clear();
        begins.clear();
        reached.push_back(root);
        seen_[static_cast<std::size_t>(root)] = stamp_;
        level_[static_cast<std::size_t>(root)] = 0;
        std::size_t at = 0;
        while (at < reached.size()) {
            begins.push_back(at);
            const std::size_t end = reached.size();
            const int level = static_cast<int>(begins.size());
            for (; at < end; ++at) {
                const auto v = static_cast<std::size_t>(reached[at]);
                for (int e = start_[v]; e < start_[v + 1]; ++e) {
                    const auto w = static_cast<std::size_t>(adjacent_[static_cast<std::size_t>(e)]);
                    if (part_[w] != id || seen_[w] == stamp_) continue;
                    seen_[w] = stamp_;
                    level_[w] = level;
                    reached.push_back(static_cast<int>(w));
                }
            }
        }
    }

    int Degree(int v) const {
        return start_[static_cast<std::size_t>(v) + 1] - start_[static_cast<std::size_t>(v)];
    }

    void Cut(std::vector<int> vertices, int id) {
        if (vertices.size() <= kLeaf) {
            Leaf(vertices, id);
            return;
        }
        std::vector<int> reached;
        std::vector<std::size_t> begins;
        Search(vertices.front(), id, reached, begins);
        if (reached.size() < vertices.size()) {
            Components(vertices, id);
            return;
        }
        // From a vertex at the far end (the most levels: the narrowest).
        int root = vertices.front();
        int searched = root;
        for (int search = 0; search < kMostSearches; ++search) {
            int far = reached[begins.back()];
            for (std::size_t k = begins.back(); k < reached.size(); ++k)
                if (Degree(reached[k]) < Degree(far)) far = reached[k];
            std::vector<int> again;
            std::vector<std::size_t> againBegins;
            Search(far, id, again, againBegins);
            searched = far;
            if (againBegins.size() <= begins.size()) break;
            root = far;
            reached = std::move(again);
            begins = std::move(againBegins);
        }
        if (searched != root) Search(root, id, reached, begins);
        // The band: the narrowest level that leaves between 40 and 60 % of the part on
        // either side (the level where half of it is reached, when none does).
        const std::size_t half = reached.size() / 2;
        std::size_t band = 0;
        while (band + 1 < begins.size() && begins[band + 1] <= half)
            ++band;
        const auto width = [&](std::size_t k) {
            return (k + 1 < begins.size() ? begins[k + 1] : reached.size()) - begins[k];
        };
        for (std::size_t k = 1; k + 1 < begins.size(); ++k) {
            const std::size_t below = begins[k];
            const std::size_t above = reached.size() - begins[k] - width(k);
            if (10 * below >= 4 * reached.size() && 10 * above >= 4 * reached.size() &&
                width(k) < width(band))
                band = k;
        }
        if (band == 0 || band + 1 >= begins.size()) {
            Leaf(vertices, id);  // no band parts it: a part that is nearly whole
            return;
        }
        const int bandLevel = static_cast<int>(band);
        const int first = ++parts_;
        const int second = ++parts_;
        std::vector<int> before, after, separator;
        for (const int v : reached) {
            const auto at = static_cast<std::size_t>(v);
            if (level_[at] < bandLevel) {
                before.push_back(v);
            } else if (level_[at] > bandLevel) {
                after.push_back(v);
            } else {
                // A vertex of the band that touches nothing beyond it parts nothing.
                bool touches = false;
                for (int e = start_[at]; e < start_[at + 1] && !touches; ++e) {
                    const auto w = static_cast<std::size_t>(adjacent_[static_cast<std::size_t>(e)]);
                    touches = part_[w] == id && level_[w] == bandLevel + 1;
                }
                (touches ? separator : before).push_back(v);
            }
        }
        for (const int v : before)
            part_[static_cast<std::size_t>(v)] = first;
        for (const int v : after)
            part_[static_cast<std::size_t>(v)] = second;
        for (const int v : separator)
            part_[static_cast<std::size_t>(v)] = -1;
        vertices.clear();
        reached.clear();
        Cut(std::move(before), first);
        Cut(std::move(after), second);
        order_.insert(order_.end(), separator.begin(), separator.end());
    }

    // Parts that do not touch are ordered one after the other; the small ones together.
    void Components(const std::vector<int>& vertices, int id) {
        std::vector<std::pair<std::vector<int>, int>> large;
        std::vector<int> small;
        const int smallId = ++parts_;
        std::vector<int> reached;
        std::vector<std::size_t> begins;
        for (const int v : vertices) {
            if (part_[static_cast<std::size_t>(v)] != id) continue;
            Search(v, id, reached, begins);
            const int to = reached.size() > kLeaf ? ++parts_ : smallId;
            for (const int w : reached)
                part_[static_cast<std::size_t>(w)] = to;
            if (to == smallId) {
                small.insert(small.end(), reached.begin(), reached.end());
            } else {
                large.emplace_back(reached, to);
            }
        }
        for (auto& [part, partId] : large)
            Cut(std::move(part), partId);
        if (!small.empty()) Leaf(small, smallId);
    }

    // Minimum degree within the part.
    void Leaf(const std::vector<int>& vertices, int id) {
        const auto m = static_cast<int>(vertices.size());
        for (int k = 0; k < m; ++k)
            local_[static_cast<std::size_t>(vertices[static_cast<std::size_t>(k)])] = k;
        std::vector<Eigen::Triplet<double, int>> entries;
        for (int k = 0; k < m; ++k) {
            const auto v = static_cast<std::size_t>(vertices[static_cast<std::size_t>(k)]);
            entries.emplace_back(k, k, 1.0);
            for (int e = start_[v]; e < start_[v + 1]; ++e) {
                const auto w = static_cast<std::size_t>(adjacent_[static_cast<std::size_t>(e)]);
                if (part_[w] == id) entries.emplace_back(local_[w], k, 1.0);
            }
        }
        Eigen::SparseMatrix<double, Eigen::ColMajor, int> pattern(m, m);
        pattern.setFromTriplets(entries.begin(), entries.end());
        Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int> eliminated;
        Eigen::AMDOrdering<int>()(pattern, eliminated);
        for (int k = 0; k < m; ++k) {
            const int v = vertices[static_cast<std::size_t>(eliminated.indices()[k])];
            order_.push_back(v);
            part_[static_cast<std::size_t>(v)] = -1;
            local_[static_cast<std::size_t>(v)] = -1;
        }
    }

    std::span<const int> start_;
    std::span<const int> adjacent_;
    std::size_t n_;
    std::vector<int> part_;  // which part each vertex is in; -1 once ordered
    std::vector<int> seen_;  // the search that reached it last
    std::vector<int> level_;
    std::vector<int> local_;  // its place within the part ordered by minimum degree
    std::vector<int> order_;
    int stamp_ = 0;
    int parts_ = 0;
};

}  // namespace

std::vector<int> DissectionOrder(std::span<const int> start, std::span<const int> adjacent) {
    return Dissection(start, adjacent).Run();
}

}  // namespace talvik::adjustment
