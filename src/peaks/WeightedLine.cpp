#include "peaks/WeightedLine.h"

#include <cmath>

namespace s2t::peaks {

WeightedLineFit fitWeightedLine(std::span<const LinePair> pairs) {
    WeightedLineFit fit;
    if (pairs.size() < 2) return fit;
    // Sums about the weighted mean channel: the textbook formulas in raw sums lose most digits
    // when the channels are large and close together.
    double sumW = 0.0, sumWX = 0.0, sumWY = 0.0;
    for (const auto& pair : pairs) {
        const double w = 1.0 / (pair.sigma * pair.sigma);
        sumW += w;
        sumWX += w * pair.channel;
        sumWY += w * pair.twoTheta;
    }
    const double meanX = sumWX / sumW, meanY = sumWY / sumW;
    double sxx = 0.0, sxy = 0.0;
    for (const auto& pair : pairs) {
        const double w = 1.0 / (pair.sigma * pair.sigma);
        sxx += w * (pair.channel - meanX) * (pair.channel - meanX);
        sxy += w * (pair.channel - meanX) * (pair.twoTheta - meanY);
    }
    if (!(sxx > 0.0) || !std::isfinite(sxx)) return fit;
    fit.C = sxy / sxx;
    fit.K = meanY - fit.C * meanX;

    double sumSquares = 0.0;
    for (const auto& pair : pairs) {
        const double residual = pair.twoTheta - (fit.C * pair.channel + fit.K);
        fit.chiSquare += residual * residual / (pair.sigma * pair.sigma);
        sumSquares += residual * residual;
    }
    const std::size_t n = pairs.size();
    fit.rms = std::sqrt(sumSquares / static_cast<double>(n));
    fit.reducedChiSquare = n > 2 ? fit.chiSquare / static_cast<double>(n - 2) : 0.0;
    const double scale = fit.reducedChiSquare > 1.0 ? fit.reducedChiSquare : 1.0;
    const double varianceC = scale / sxx;
    fit.sigmaC = std::sqrt(varianceC);
    fit.sigmaK = std::sqrt(scale / sumW + meanX * meanX * varianceC);
    fit.covarianceKC = -meanX * varianceC;
    fit.ok = std::isfinite(fit.K) && std::isfinite(fit.C);
    return fit;
}

}  // namespace s2t::peaks
