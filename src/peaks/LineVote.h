// The first guess at the channel -> 2-theta line from a scan's strongest peaks and a standard's
// reflections, robust to a poor starting calibration: every pair of strong peaks paired with
// every pair of reflections proposes a line, each line near the start is scored by how many
// strong peaks it puts on a reflection, and the best is refined on its own matches.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "peaks/PeakSearch.h"

namespace s2t::peaks {

// How far the start may be from the truth for the vote still to find it.
struct VoteLimits {
    double interceptDegrees = 2.0;  // in K
    double slopeShare = 0.05;       // in C, as a share of C
};

struct LineGuess {
    double K = 0.0, C = 0.0;
    int matched = 0;  // strong peaks within the tolerance of a reflection or of its K-alpha2 twin
};

// reflections ascending; twins the 2-theta of their K-alpha2 lines, ascending (empty for
// monochromatic radiation), which explain a peak as well as a reflection does but propose no
// line. Nothing when fewer than two strong peaks or no proposal comes near the start.
std::optional<LineGuess> voteForLine(std::span<const FoundPeak> peaks, std::span<const double> reflections,
                                     std::span<const double> twins, double startK, double startC, std::size_t channels,
                                     const VoteLimits& limits = {});

// The reflection nearest to twoTheta in an ascending list, as an index; the list must not be
// empty.
std::size_t nearestReflection(std::span<const double> reflections, double twoTheta);

}  // namespace s2t::peaks
