// Least-squares fit of reflection profiles on a local straight background: each reflection is a
// K-alpha1 pseudo-Voigt line with its K-alpha2 twin, which lies a given number of channels away
// (Bragg's law for the alpha2 wavelength, through the calibration) with a fixed share of its
// height. Several reflections close together are fitted at once, so that neither pulls the other.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace s2t::peaks {

// One reflection's profile. position is the K-alpha1 line's channel.
struct ProfileLine {
    double position = 0.0;
    double height = 0.0;  // K-alpha1 height above the background, counts
    double fwhm = 0.0;    // full width at half maximum, channels (both lines of the doublet)
    double eta = 0.5;     // Lorentzian share of the pseudo-Voigt, 0 to 1
};

struct ProfileFitRequest {
    std::size_t first = 0, last = 0;  // the channels fitted, inclusive
    std::vector<ProfileLine> start;   // starting values, one per reflection
    // The K-alpha2 line's offset from the K-alpha1 line at a given K-alpha1 channel; empty for
    // monochromatic radiation.
    std::function<double(double)> alpha2Offset;
    double alpha2Ratio = 0.5;  // K-alpha2 height over K-alpha1 height
    // Levenberg-Marquardt steps at most; lines blended beyond telling apart creep towards their
    // minimum for hundreds of steps.
    int maxIterations = 200;
};

struct FittedLine {
    ProfileLine line;
    double sigmaPosition = 0.0;  // standard uncertainty of the K-alpha1 channel
    double sigmaHeight = 0.0;
    double alpha2Offset = 0.0;  // channels, at the fitted position (0 without K-alpha2)
};

struct ProfileFitResult {
    bool ok = false;  // converged to finite values with a positive definite normal matrix, and
                      // no larger than kLargestFit
    std::vector<FittedLine> lines;
    double background = 0.0;       // at the window's centre, counts
    double backgroundSlope = 0.0;  // counts per channel
    double reducedChiSquare = 0.0;
    int iterations = 0;
};

// The profile at channel x of one line (K-alpha1 plus its K-alpha2 twin offset channels away).
double doubletProfile(const ProfileLine& line, double offset, double ratio, double x);

// The largest fit made: channels in the window times the square of the parameters (two for the
// background, four per line). A few overlapping doublets over a hundred channels take a tenth of
// it; a larger fit is refused (not ok).
inline constexpr double kLargestFit = 4e6;

// Levenberg-Marquardt on the counts of the window, each weighted by the inverse of its Poisson
// variance. The uncertainties are those of the normal matrix, scaled up by the reduced
// chi-square when the counts scatter more than counting noise explains.
ProfileFitResult fitProfiles(std::span<const double> counts, const ProfileFitRequest& request);

}  // namespace s2t::peaks
