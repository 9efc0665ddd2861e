#include "peaks/SmoothLawCheck.h"

#include <algorithm>
#include <cmath>

#include "peaks/ChannelPolynomial.h"

namespace s2t::peaks {
namespace {

constexpr std::size_t kFewestToTest = 6;
constexpr std::size_t kFewestToKeep = 5;
constexpr double kUncertaintyFactor = 6.0;
constexpr double kDeviationFactor = 5.0;
constexpr double kSmallestDeviation = 0.002;  // degrees: below this a pair is never suspect
constexpr double kSmallestScatter = 2e-4;     // degrees: the scatter a good scan reaches

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

struct Deviation {
    double studentized = 0.0;  // residual over its own spread, in units of the pairs' scatter
    double leftOut = 0.0;      // degrees from the polynomial fitted without the pair
    double raw = 0.0;          // residual over its own spread, degrees
};

struct Deviations {
    std::vector<Deviation> pairs;
    double scatter = 0.0;  // degrees
};

// Each pair's deviation from the least-squares polynomial of the others, through the leverages
// of one fit of all (the leave-one-out residual is r / (1 - h)). Unweighted: the question is
// whether a pair agrees with the law its neighbours describe, however certain its own fit claims
// to be.
Deviations deviations(const std::vector<MatchedReflection>& pairs) {
    const std::size_t n = pairs.size();
    std::vector<double> channels, twoThetas;
    for (const auto& pair : pairs) {
        channels.push_back(pair.channel);
        twoThetas.push_back(pair.twoTheta);
    }
    const ChannelPolynomial law = fitChannelPolynomial(channels, twoThetas, {}, std::min<std::size_t>(5, n - 2));
    if (!law.ok) return {};

    std::vector<Deviation> result(n);
    std::vector<double> spreads;
    for (std::size_t i = 0; i < n; ++i) {
        const double fitted = law.valueAt(i), leverage = law.leverageOf(i);
        const double free = 1.0 - leverage;
        if (!(free > 1e-9)) continue;  // the polynomial passes through it whatever it is
        const double residual = pairs[i].twoTheta - fitted;
        result[i].studentized = result[i].raw = residual / std::sqrt(free);
        result[i].leftOut = residual / free;
        spreads.push_back(std::fabs(result[i].studentized));
    }
    const double scatter = std::max(1.4826 * median(spreads), kSmallestScatter);
    for (auto& deviation : result) deviation.studentized /= scatter;
    return {std::move(result), scatter};
}

}  // namespace

std::size_t dropPairsOffTheLaw(std::vector<MatchedReflection>& pairs) {
    const std::size_t before = pairs.size();
    if (pairs.size() < kFewestToTest) return 0;
    std::vector<double> sigmas;
    for (const auto& pair : pairs) sigmas.push_back(pair.sigmaChannel);
    const double limit = kUncertaintyFactor * median(sigmas);
    std::vector<MatchedReflection> certain;
    for (const auto& pair : pairs)
        if (pair.sigmaChannel <= limit) certain.push_back(pair);
    if (certain.size() >= kFewestToKeep) pairs = std::move(certain);

    while (pairs.size() >= kFewestToTest) {
        const std::vector<Deviation> found = deviations(pairs).pairs;
        if (found.empty()) break;
        std::size_t worst = 0;
        for (std::size_t i = 1; i < found.size(); ++i)
            if (std::fabs(found[i].studentized) > std::fabs(found[worst].studentized)) worst = i;
        if (std::fabs(found[worst].leftOut) <= kSmallestDeviation) break;
        double studentized = found[worst].studentized;
        if (std::fabs(studentized) <= kDeviationFactor) {
            // A pair at an end of the pairs pulls the polynomial towards itself (its leverage is
            // high), and with it the residuals of its neighbours, which raises the scatter it is
            // measured against: an impurity that moved the first reflection by a hundredth of a
            // degree hid that way. Its scatter is then that of the others without it.
            std::vector<MatchedReflection> others = pairs;
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(worst));
            const Deviations without = deviations(others);
            if (without.pairs.empty()) break;
            studentized = found[worst].raw / without.scatter;
        }
        if (std::fabs(studentized) <= kDeviationFactor) break;
        pairs.erase(pairs.begin() + static_cast<std::ptrdiff_t>(worst));
    }
    return before - pairs.size();
}

}  // namespace s2t::peaks
