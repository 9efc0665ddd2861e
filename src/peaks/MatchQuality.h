// Whether matched reflections make a calibration at all. A wrong standard, a scan of something
// else or a scan of noise spikes still finds peaks near many predicted reflections; what tells
// them apart from true matches is that true ones follow one smooth channel law to a small part
// of their own widths, and are more than a crowded scan gives by chance.
#pragma once

#include <cstddef>
#include <span>

namespace s2t::peaks {

struct PairOnLaw {
    double channel = 0.0;
    double twoTheta = 0.0;
    double sigmaChannel = 0.0;  // standard uncertainty of the channel
    double fwhm = 0.0;          // of the peak, channels
};

// The root mean square of the pairs' residuals about a smooth channel law fitted through them
// (a weighted polynomial: cubic, or of lower degree for fewer than five pairs), each residual in
// full widths at half maximum of its own peak, corrected for the degrees of freedom the fit
// takes. Not a number for fewer than three pairs.
double offLawSpread(std::span<const PairOnLaw> pairs, double C);

// The probability that at least matched of predicted reflections find one of peaks peaks
// within window channels of their predicted channel by chance alone, in a scan of channels
// channels with the peaks spread evenly at random.
double chanceOfMatches(std::size_t predicted, std::size_t matched, std::size_t peaks, std::size_t channels,
                       double window);

}  // namespace s2t::peaks
