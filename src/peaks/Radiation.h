// The K-alpha lines a calibration from a standard scan fits: the K-alpha1 wavelength the
// standard's angles were computed for, the K-alpha2 wavelength of its twin (0: monochromatic
// radiation, no twin) and the twin's height over the K-alpha1 height.
#pragma once

#include "platform/Messages.h"

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
    if (!(radiation.wavelength > 0.0)) return messages::kAlpha1NotAbove0;
    if (!(radiation.alpha2Wavelength >= 0.0)) return messages::kAlpha2NotAbove0;
    if (!(radiation.alpha2Ratio >= 0.0)) return messages::kAlpha2RatioBelow0;
    return "";
}

}  // namespace s2t::peaks
