#include "peaks/ChannelPolynomial.h"

#include <algorithm>

#include "peaks/SymmetricSystem.h"

namespace s2t::peaks {

double ChannelPolynomial::valueAt(std::size_t pair) const {
    double value = 0.0;
    for (std::size_t a = 0; a < terms; ++a) value += coefficients[a] * basis[pair * terms + a];
    return value;
}

double ChannelPolynomial::leverageOf(std::size_t pair) const {
    const double* row = &basis[pair * terms];
    double leverage = 0.0;
    for (std::size_t a = 0; a < terms; ++a)
        for (std::size_t b = 0; b < terms; ++b) leverage += row[a] * inverseNormal[a * terms + b] * row[b];
    return leverage;
}

ChannelPolynomial fitChannelPolynomial(std::span<const double> channels, std::span<const double> twoThetas,
                                       std::span<const double> weights, std::size_t terms) {
    ChannelPolynomial fit;
    const std::size_t n = channels.size();
    if (n == 0 || terms == 0) return fit;
    fit.terms = terms;
    const auto [lowest, highest] = std::minmax_element(channels.begin(), channels.end());
    const double middle = 0.5 * (*lowest + *highest), width = std::max(*highest - *lowest, 1.0);
    fit.basis.resize(n * terms);
    for (std::size_t i = 0; i < n; ++i) {
        const double u = (channels[i] - middle) / width;
        double power = 1.0;
        for (std::size_t k = 0; k < terms; ++k, power *= u) fit.basis[i * terms + k] = power;
    }
    std::vector<double> normal(terms * terms, 0.0), right(terms, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = weights.empty() ? 1.0 : weights[i];
        for (std::size_t a = 0; a < terms; ++a) {
            const double weighted = w * fit.basis[i * terms + a];
            right[a] += weighted * twoThetas[i];
            for (std::size_t b = 0; b < terms; ++b) normal[a * terms + b] += weighted * fit.basis[i * terms + b];
        }
    }
    if (!invertSymmetric(normal, terms, fit.inverseNormal)) return fit;
    fit.coefficients.assign(terms, 0.0);
    for (std::size_t a = 0; a < terms; ++a)
        for (std::size_t b = 0; b < terms; ++b) fit.coefficients[a] += fit.inverseNormal[a * terms + b] * right[b];
    fit.ok = true;
    return fit;
}

}  // namespace s2t::peaks
