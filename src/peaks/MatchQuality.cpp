#include "peaks/MatchQuality.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "peaks/ChannelPolynomial.h"

namespace s2t::peaks {

double offLawSpread(std::span<const PairOnLaw> pairs, double C) {
    const std::size_t n = pairs.size();
    if (n < 3) return std::numeric_limits<double>::quiet_NaN();
    const std::size_t terms = std::min<std::size_t>(4, n - 1);
    std::vector<double> channels, twoThetas, weights;
    for (const auto& pair : pairs) {
        channels.push_back(pair.channel);
        twoThetas.push_back(pair.twoTheta);
        const double sigma = std::max(std::fabs(C) * pair.sigmaChannel, 1e-7);
        weights.push_back(1.0 / (sigma * sigma));
    }
    const ChannelPolynomial law = fitChannelPolynomial(channels, twoThetas, weights, terms);
    if (!law.ok) return std::numeric_limits<double>::quiet_NaN();
    double sumSquares = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double width = std::max(std::fabs(C) * pairs[i].fwhm, 1e-9);
        const double residual = (pairs[i].twoTheta - law.valueAt(i)) / width;
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
        const double logTerm =
            std::lgamma(static_cast<double>(predicted) + 1.0) - std::lgamma(static_cast<double>(k) + 1.0) -
            std::lgamma(static_cast<double>(predicted - k) + 1.0) + static_cast<double>(k) * std::log(p) +
            static_cast<double>(predicted - k) * std::log1p(-p);
        tail += std::exp(logTerm);
    }
    return std::min(tail, 1.0);
}

}  // namespace s2t::peaks
