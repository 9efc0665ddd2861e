// Finding the peaks of a channel scan without thresholds in counts: each channel's curvature,
// measured at several widths, is compared with its own counting noise (the variance of a count
// is the count), and a peak is a channel where that ratio has a local maximum above a minimum
// significance.
#pragma once

#include <span>
#include <vector>

namespace s2t::peaks {

struct FoundPeak {
    double channel = 0.0;       // position of the maximum, refined between channels
    double height = 0.0;        // counts above the surrounding minimum, a first estimate
    double fwhm = 0.0;          // full width at half maximum, channels, a first estimate
    double significance = 0.0;  // curvature over its standard deviation at the best width
};

struct PeakSearchOptions {
    double minSignificance = 5.0;  // in standard deviations of the counting noise
};

// The peaks of counts (one count per channel, from channel 0), ascending by channel.
std::vector<FoundPeak> findPeaks(std::span<const double> counts, const PeakSearchOptions& options = {});

}  // namespace s2t::peaks
