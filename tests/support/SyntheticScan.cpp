#include "support/SyntheticScan.h"

#include <cmath>
#include <random>

namespace s2t::test {
namespace {

constexpr double kPi = 3.14159265358979323846;

double pseudoVoigt(double x, double centre, double fwhm, double eta) {
    const double q = (x - centre) / fwhm;
    return eta / (1.0 + 4.0 * q * q) + (1.0 - eta) * std::exp(-4.0 * std::log(2.0) * q * q);
}

}  // namespace

double SyntheticScan::twoThetaAt(double channel) const {
    const double u = channel / static_cast<double>(channels - 1);
    return K + C * channel + 4.0 * bow * u * (1.0 - u);
}

std::vector<double> SyntheticScan::expected() const {
    std::vector<double> counts(channels);
    std::vector<double> angles(channels);
    for (std::size_t i = 0; i < channels; ++i) {
        angles[i] = twoThetaAt(static_cast<double>(i));
        counts[i] = background * (1.0 - 0.5 * static_cast<double>(i) / static_cast<double>(channels - 1));
    }
    auto width = [this](double twoTheta) {
        const double t = std::tan(twoTheta * kPi / 360.0);
        return fwhmScale * std::sqrt(std::max(fwhmU * t * t + fwhmV * t + fwhmW, 1e-6));
    };
    auto add = [&](double centre, double height) {
        const double fwhm = width(centre);
        for (std::size_t i = 0; i < channels; ++i)
            if (std::fabs(angles[i] - centre) < 60.0 * fwhm)
                counts[i] += height * pseudoVoigt(angles[i], centre, fwhm, eta);
    };
    for (const auto& reflection : reflections) {
        add(reflection.twoTheta, reflection.height);
        if (alpha2 > 0.0) {
            const double sine = alpha2 / alpha1 * std::sin(reflection.twoTheta * kPi / 360.0);
            if (sine < 1.0) add(std::asin(sine) * 360.0 / kPi, alpha2Ratio * reflection.height);
        }
    }
    for (const auto& impurity : impurities) add(impurity.twoTheta, impurity.height);
    return counts;
}

std::vector<double> poissonCounts(const std::vector<double>& expected, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::vector<double> counts;
    counts.reserve(expected.size());
    for (double mean : expected) counts.push_back(static_cast<double>(std::poisson_distribution<int>(mean)(generator)));
    return counts;
}

std::vector<SyntheticReflection> siliconReflections(double a, double wavelength, double height) {
    // h^2 + k^2 + l^2 of the diamond lattice's reflections and their rough powder intensities.
    const int sums[] = {3, 8, 11, 16, 19, 24, 27, 32, 35, 40, 43};
    const double intensities[] = {100, 55, 30, 6, 11, 12, 6, 3, 5, 3, 1};
    std::vector<SyntheticReflection> list;
    for (std::size_t i = 0; i < std::size(sums); ++i) {
        const double sine = wavelength * std::sqrt(static_cast<double>(sums[i])) / (2.0 * a);
        if (sine >= 1.0) continue;
        list.push_back({std::asin(sine) * 360.0 / kPi, height * intensities[i] / 100.0});
    }
    return list;
}

}  // namespace s2t::test
