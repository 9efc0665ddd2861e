// The straight line 2-theta = C x channel + K through calibration pairs, each weighted by the
// inverse square of its 2-theta uncertainty, with the standard uncertainties of K and C.
//
// Why not calibration/LinearFit.h, the least-squares line of the linear points panel: that one
// weighs every point alike, gives no uncertainties, and is computed in an order whose last bits
// the K and C of stored option files depend on, so it stays exactly as it is. Pairs found in a scan
// carry uncertainties that differ by orders of magnitude between a strong and a weak reflection,
// and the line must say how well K and C are known; that needs the weighted sums here.
#pragma once

#include <span>

namespace s2t::peaks {

struct LinePair {
    double channel = 0.0;
    double twoTheta = 0.0;
    double sigma = 0.0;  // standard uncertainty of the pair in 2-theta (degrees), above 0
};

struct WeightedLineFit {
    bool ok = false;  // false: fewer than two pairs, or all on one channel
    double K = 0.0, C = 0.0;
    double sigmaK = 0.0, sigmaC = 0.0, covarianceKC = 0.0;
    double chiSquare = 0.0;         // sum of squared residuals over squared sigmas
    double reducedChiSquare = 0.0;  // chiSquare / (n - 2); 0 for two pairs
    double rms = 0.0;               // root mean square residual, degrees, unweighted
};

// The weighted least-squares line. The uncertainties come from the pairs' sigmas and are scaled
// up by the reduced chi-square when the pairs scatter more than their sigmas say (a curved
// channel law, a profile the model misses), never down: the result never claims more than the
// positions support.
WeightedLineFit fitWeightedLine(std::span<const LinePair> pairs);

}  // namespace s2t::peaks
