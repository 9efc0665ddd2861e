#include "peaks/MatchQuality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "peaks/SymmetricSystem.h"

namespace s2t::peaks {

double offLawSpread(std::span<const PairOnLaw> pairs, double C) {
    const std::size_t n = pairs.size();
    if (n < 3) return std::numeric_limits<double>::quiet_NaN();
    const std::size_t terms = std::min<std::size_t>(4, n - 1);
    // Channels scaled into [-1, 1], so that the normal equations of a cubic stay well conditioned.
    const auto [lowest, highest] = std::minmax_element(pairs.begin(), pairs.end(),
        [](const PairOnLaw& a, const PairOnLaw& b) { return a.channel < b.channel; });
    const double centre = 0.5 * (lowest->channel + highest->channel);
    const double half = std::max(0.5 * (highest->channel - lowest->channel), 1.0);
    auto powersOf = [&](const PairOnLaw& pair) {
        std::vector<double> powers(terms, 1.0);
        const double x = (pair.channel - centre) / half;
        for (std::size_t k = 1; k < terms; ++k) powers[k] = powers[k - 1] * x;
        return powers;
    };
    auto weightOf = [&](const PairOnLaw& pair) {
        const double sigma = std::max(std::fabs(C) * pair.sigmaChannel, 1e-7);
        return 1.0 / (sigma * sigma);
    };
    std::vector<double> normal(terms * terms, 0.0), right(terms, 0.0), coefficients(terms, 0.0);
    for (const auto& pair : pairs) {
        const auto powers = powersOf(pair);
        const double w = weightOf(pair);
        for (std::size_t i = 0; i < terms; ++i) {
            right[i] += w * powers[i] * pair.twoTheta;
            for (std::size_t j = 0; j < terms; ++j) normal[i * terms + j] += w * powers[i] * powers[j];
        }
    }
    if (!solveSymmetric(normal, right, terms, coefficients)) return std::numeric_limits<double>::quiet_NaN();
    double sumSquares = 0.0;
    for (const auto& pair : pairs) {
        const auto powers = powersOf(pair);
        double law = 0.0;
        for (std::size_t k = 0; k < terms; ++k) law += coefficients[k] * powers[k];
        const double width = std::max(std::fabs(C) * pair.fwhm, 1e-9);
        const double residual = (pair.twoTheta - law) / width;
        sumSquares += residual * residual;
    }
    return std::sqrt(sumSquares / static_cast<double>(n - terms));
}

double chanceOfMatches(std::size_t predicted, std::size_t matched, std::size_t peaks, std::size_t channels,
                       double window) {
    if (matched == 0) return 1.0;
    if (matched > predicted || channels == 0) return 0.0;
    // One prediction finds a peak when any of them falls into its window of 2 x window channels.
    const double share = std::min(1.0, 2.0 * window / static_cast<double>(channels));
    const double p = 1.0 - std::pow(1.0 - share, static_cast<double>(peaks));
    if (p >= 1.0) return 1.0;
    // The binomial tail P(X >= matched), term by term in logarithms.
    double tail = 0.0;
    for (std::size_t k = matched; k <= predicted; ++k) {
        const double logTerm = std::lgamma(static_cast<double>(predicted) + 1.0) -
                               std::lgamma(static_cast<double>(k) + 1.0) -
                               std::lgamma(static_cast<double>(predicted - k) + 1.0) +
                               static_cast<double>(k) * std::log(p) +
                               static_cast<double>(predicted - k) * std::log1p(-p);
        tail += std::exp(logTerm);
    }
    return std::min(tail, 1.0);
}

}  // namespace s2t::peaks
