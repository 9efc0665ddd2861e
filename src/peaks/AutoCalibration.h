// Calibration from a scan of a standard, in one step: find the scan's peaks, guess the line by
// voting, then predict each reflection's channel, fit its K-alpha1/K-alpha2 doublet there,
// reject what does not fit, and refit the line until the matched set settles.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "calibration/CalibrationState.h"
#include "peaks/PeakSearch.h"
#include "peaks/Radiation.h"
#include "peaks/WeightedLine.h"

namespace s2t::peaks {

struct AutoCalibrationSettings {
    double wavelength = kCuKAlpha1;        // K-alpha1, the standard's 2-theta were computed for it
    double alpha2Wavelength = kCuKAlpha2;  // 0 for monochromatic radiation
    double alpha2Ratio = 0.5;              // K-alpha2 height over K-alpha1 height
    double startK = 0.0, startC = 0.0;     // the calibration in force
    double minSignificance = 5.0;          // of a peak, in standard deviations of counting noise

    void setRadiation(const Radiation& radiation) {
        wavelength = radiation.wavelength;
        alpha2Wavelength = radiation.alpha2Wavelength;
        alpha2Ratio = radiation.alpha2Ratio;
    }
};

// One reflection found in the scan.
struct MatchedReflection {
    double twoTheta = 0.0;      // the standard's K-alpha1 2-theta, degrees
    double channel = 0.0;       // the fitted K-alpha1 channel
    double sigmaChannel = 0.0;  // its standard uncertainty
    double residual = 0.0;      // twoTheta minus the fitted line at channel, degrees
    double height = 0.0;        // K-alpha1 height, counts
    double fwhm = 0.0;          // channels
    double alpha2Offset = 0.0;  // channels from K-alpha1 to K-alpha2 (0 without K-alpha2)
};

struct AutoCalibrationResult {
    bool ok = false;
    std::string refusal;   // why there is no calibration, when not ok
    WeightedLineFit line;  // the weighted line through the pairs, full precision
    // The line as an option file stores it: C to six decimals, and K (six decimals) fitted
    // again for that C, so that the rounding of C costs as little as it can.
    double storedK = 0.0, storedC = 0.0;
    std::vector<MatchedReflection> pairs;  // ascending in 2-theta
    // The end guards of the stored spline (peaks/EndGuards.h), from the pairs as stored; not
    // reflections.
    std::vector<CalibrationPoint> guards;
    std::vector<double> missedReflections;  // predicted inside the scan, not matched
    std::vector<FoundPeak> unmatchedPeaks;  // found, explained by no matched reflection
    std::vector<FoundPeak> peaks;           // every peak found
};

// The 2-theta (degrees) of the K-alpha2 line of a reflection at twoTheta for K-alpha1; not a
// number when it would lie beyond 180 degrees.
double alpha2TwoTheta(double twoTheta, double alpha1Wavelength, double alpha2Wavelength);

// counts: one per channel from channel 0; reflections: the standard's 2-theta, any order. A
// standard of more than kMostReflections distinct reflections is refused.
AutoCalibrationResult calibrateFromScan(std::span<const double> counts, std::span<const double> reflections,
                                        const AutoCalibrationSettings& settings);

// The calibration points an option file stores for result: the pairs and the end guards, ascending
// in channel, each with the four decimals the file keeps.
std::vector<CalibrationPoint> storedCalibrationPoints(const AutoCalibrationResult& result);

// The pairs as calibration points with the four decimals an option file keeps, in their order.
std::vector<CalibrationPoint> pairsAsStored(std::span<const MatchedReflection> pairs);

// The fewest matched reflections a calibration is made from.
inline constexpr std::size_t kMinimumPairs = 3;

// The most distinct reflections a standard may list. The first guess pairs every two strong peaks
// with every two reflections: corundum for a silver anode lists about 1000, for 0.3 Angstrom 5920,
// which took minutes, and so dense a list matches any line by chance.
inline constexpr std::size_t kMostReflections = 2000;

}  // namespace s2t::peaks
