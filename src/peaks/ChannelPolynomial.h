// A least-squares polynomial of 2-theta in the channel through calibration pairs: the smooth law
// the pairs describe, against which the checks of a calibration from a scan measure each pair.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace s2t::peaks {

struct ChannelPolynomial {
    bool ok = false;  // false when the pairs do not fix the polynomial (too few distinct channels)
    std::size_t terms = 0;
    // Row i: the powers 0 .. terms-1 of pair i's channel, scaled about the middle of the pairs'
    // channels by their width, so that the normal equations stay well conditioned.
    std::vector<double> basis;
    std::vector<double> coefficients;
    std::vector<double> inverseNormal;  // (B^T W B)^-1, terms x terms: the pairs' leverages come from it

    double valueAt(std::size_t pair) const;
    // The leverage of a pair: how much its own 2-theta decides the polynomial there (0 to 1).
    double leverageOf(std::size_t pair) const;
};

// The polynomial of terms coefficients (degree terms - 1) through (channels[i], twoThetas[i]),
// each pair weighted by weights[i], or all alike when weights is empty.
ChannelPolynomial fitChannelPolynomial(std::span<const double> channels, std::span<const double> twoThetas,
                                       std::span<const double> weights, std::size_t terms);

}  // namespace s2t::peaks
