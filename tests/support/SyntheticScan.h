// Channel scans of a standard with a known truth, for the peak and calibration tests: pseudo-
// Voigt K-alpha1/K-alpha2 doublets with widths growing with the angle, on a sloping background,
// with Poisson counting noise from a seeded generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace s2t::test {

struct SyntheticReflection {
    double twoTheta = 0.0;  // K-alpha1, degrees
    double height = 0.0;    // K-alpha1 height, counts
};

struct SyntheticScan {
    std::size_t channels = 4096;
    double K = 10.9, C = 0.027;  // true law: 2-theta = K + C x channel + bow x u (1 - u) * 4, u = channel / last
    double bow = 0.0;            // the law's largest departure from the line through its ends, degrees
    double alpha1 = 1.5406, alpha2 = 1.54443;  // alpha2 0: monochromatic
    double alpha2Ratio = 0.5;
    double fwhmU = 0.012, fwhmV = -0.004, fwhmW = 0.006;  // Caglioti, degrees squared
    double fwhmScale = 1.0;                               // all widths times this
    double eta = 0.45;
    double background = 60.0;  // counts at channel 0, falling to half at the last
    std::vector<SyntheticReflection> reflections;
    std::vector<SyntheticReflection> impurities;  // single lines (no alpha2), not in the standard

    double twoThetaAt(double channel) const;
    // The expected count of every channel.
    std::vector<double> expected() const;
};

// One Poisson draw per channel from the expected counts.
std::vector<double> poissonCounts(const std::vector<double>& expected, std::uint32_t seed);

// The 2-theta (degrees) of the silicon reflections for wavelength from a lattice parameter, with
// powder-pattern heights scaled so that the strongest is height.
std::vector<SyntheticReflection> siliconReflections(double a, double wavelength, double height);

}  // namespace s2t::test
