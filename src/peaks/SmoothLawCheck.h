// The pairs a smooth channel law cannot pass through. A reflection whose line is overlapped by an
// impurity, or fitted on too few counts, can sit a hundredth of a degree or more away from where
// its neighbours put it while its residual from the straight line stays small next to the
// curvature of the law; the spline through the pairs would carry that error into every angle
// near it. The straight-line rejection cannot see such a pair on a curved law; this check can.
#pragma once

#include <cstddef>
#include <vector>

#include "peaks/AutoCalibration.h"

namespace s2t::peaks {

// Drops, from pairs (ascending in 2-theta), the pairs that disagree with the smooth law the
// others describe, and returns how many it dropped:
// - a position at least six times as uncertain as the pairs' median uncertainty (the line is
//   overlapped or weak; it carries no weight in the line and would bend the spline);
// - then, worst first, a pair whose deviation from the polynomial (degree up to four, in the
//   channel, fitted to the others) is at least five times the pairs' typical deviation and at
//   least two thousandths of a degree.
// Six pairs at least are needed for either test; it never leaves fewer than five.
std::size_t dropPairsOffTheLaw(std::vector<MatchedReflection>& pairs);

}  // namespace s2t::peaks
