// The K-alpha lines a calibration from a standard scan fits: the K-alpha1 wavelength the
// standard's angles were computed for, the K-alpha2 wavelength of its twin (0: monochromatic
// radiation, no twin) and the twin's height over the K-alpha1 height.
#pragma once

namespace s2t::peaks {

inline constexpr double kCuKAlpha1 = 1.5406;
inline constexpr double kCuKAlpha2 = 1.54443;

struct Radiation {
    double wavelength = kCuKAlpha1;
    double alpha2Wavelength = kCuKAlpha2;
    double alpha2Ratio = 0.5;
};

// Why radiation cannot be fitted, as a message; empty when it can (a K-alpha1 wavelength above 0,
// a K-alpha2 wavelength above 0 or none, a ratio not below 0).
inline const char* radiationProblem(const Radiation& radiation) {
    if (!(radiation.wavelength > 0.0)) return "The K-alpha1 wavelength must be above 0.";
    if (!(radiation.alpha2Wavelength >= 0.0)) return "The K-alpha2 wavelength must be above 0.";
    if (!(radiation.alpha2Ratio >= 0.0)) return "The K-alpha2 height ratio must not be below 0.";
    return "";
}

}  // namespace s2t::peaks
