// What an input file says of its measurement besides the counts: times, start, description,
// wavelength, and the calibration the instrument stored. Readers fill what their format holds;
// `scan2theta info` shows it and the annotated output formats carry it in their headers. Every
// field may be missing: an empty optional or string means "the file does not say".
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace s2t {

// The axis calibration an analyser stores with its counts: value = zero + slope x channel +
// quadratic x channel^2, with channels counted from 0 (for our instruments the value is 2-theta).
struct StoredCalibration {
    double zero = 0.0;
    double slope = 0.0;
    double quadratic = 0.0;
};

struct ScanMetadata {
    std::optional<double> liveTime;                // seconds the detector counted
    std::optional<double> realTime;                // seconds of the measurement, dead time included
    std::string startDateTime;                     // "YYYY-MM-DDTHH:MM:SS" (or as much of it as is known)
    std::string description;                       // the sample description
    std::string detector;                          // the detector or instrument description
    std::optional<double> wavelength;              // Angstrom
    std::optional<StoredCalibration> calibration;  // channel -> 2-theta stored in the file
    std::string trailerProblem;  // why a trailer that is present was not read; empty when read or absent
    // Further items a reader found, as (name, value) in file order, for formats with free key/value
    // headers.
    std::vector<std::pair<std::string, std::string>> extra;

    bool empty() const {
        return !liveTime && !realTime && startDateTime.empty() && description.empty() && detector.empty() &&
               !wavelength && !calibration && trailerProblem.empty() && extra.empty();
    }
};

}  // namespace s2t
