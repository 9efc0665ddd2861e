#include "peaks/CrowdedPairs.h"

#include <algorithm>
#include <cmath>

namespace s2t::peaks {
namespace {

constexpr std::size_t kFewestToKeep = 5;

}  // namespace

std::size_t dropCrowdedPairs(std::vector<MatchedReflection>& pairs) {
    const std::size_t before = pairs.size();
    while (pairs.size() > kFewestToKeep) {
        std::vector<std::size_t> order(pairs.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return pairs[a].channel < pairs[b].channel; });
        std::vector<double> gaps;
        for (std::size_t i = 0; i + 1 < order.size(); ++i)
            gaps.push_back(pairs[order[i + 1]].channel - pairs[order[i]].channel);
        std::vector<double> sorted = gaps;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
        const double limit = kCrowdedShare * sorted[sorted.size() / 2];
        const auto closest = std::min_element(gaps.begin(), gaps.end());
        if (!(*closest < limit)) break;
        const std::size_t at = static_cast<std::size_t>(closest - gaps.begin());
        const std::size_t a = order[at], b = order[at + 1];
        const std::size_t dropped = pairs[a].sigmaChannel > pairs[b].sigmaChannel ? a : b;
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(dropped));
    }
    return before - pairs.size();
}

}  // namespace s2t::peaks
