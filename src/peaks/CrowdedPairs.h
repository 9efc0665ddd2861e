// Pairs too close together for the spline through them. The calibration spline passes through
// every pair, so two pairs a few channels apart fix its slope there to their difference over
// that distance: a thousandth of a degree of error in either, over five channels, tilts the
// spline enough to carry several thousandths into the intervals beside them (the close lines of
// corundum, or of any standard at a short wavelength, are also the ones that overlap, and their
// positions the least certain). One of them says as much about the law as both.
#pragma once

#include <cstddef>
#include <vector>

#include "peaks/AutoCalibration.h"

namespace s2t::peaks {

// The share of the pairs' median interval (in channels) below which two neighbouring pairs are
// crowded.
inline constexpr double kCrowdedShare = 0.25;

// Drops, from pairs (any order, kept in it), the less certain of every two neighbours (in
// channel) closer than kCrowdedShare of the median interval, the closest first, and returns how
// many it dropped. Pairs spread about evenly, as the reflections of a cubic standard are, lose
// none; it never leaves fewer than five.
std::size_t dropCrowdedPairs(std::vector<MatchedReflection>& pairs);

}  // namespace s2t::peaks
