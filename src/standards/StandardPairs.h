// Pairs of a standard's reflection and a measured peak, and the texts the standards window and
// the points panels show for them.
//
// Pairing is by position: the k-th reflection of the standard file goes with the k-th peak of the
// XFit peak file, for k up to the shorter list; the surplus of the longer list is ignored. There
// is no sorting and no nearest-value matching.
#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "calibration/PointTable.h"
#include "standards/StandardsImport.h"

namespace s2t {

struct StandardPair {
    double twoTheta = 0.0;      // the reflection, degrees
    double channel = 0.0;       // the peak position, channels
    double sigmaChannel = 0.0;  // its standard uncertainty, channels; 0 when not known
    bool endGuard = false;      // an end guard of the spline, not a reflection (sigmaChannel 0)
};

// A points panel holds at most this many points: the pairs beyond it never reach one.
inline constexpr std::size_t kMaxPanelPairs = kPointTableSize;

// The pairs of data, at most limit of them (kMaxPanelPairs for a points panel); with data's end
// guards (marked) before and after them when all fit within limit.
std::vector<StandardPair> pairStandards(const StandardsImport& data,
                                        std::size_t limit = std::numeric_limits<std::size_t>::max());

// A pair as the standards window's pairs list shows it: "%8.04f -> %8.04f" of 2-theta and
// channel, one space before the arrow (" 28.4430 -> 655.0000").
std::string pairListText(const StandardPair& pair);

// "  +- 0.0127": the channel's uncertainty as the lists show it after a pair's text; empty when
// it is not known.
std::string uncertaintyText(double sigmaChannel);

// What the lists show after a pair's text: its uncertainty (see uncertaintyText), or "  end guard"
// for an end guard.
std::string pairNoteText(const StandardPair& pair);

// A pair as a points panel lists it once accepted: "%8.04f  -> %8.04f", two spaces before the
// arrow (" 28.4430  -> 655.0000").
std::string pointListText(const StandardPair& pair);

}  // namespace s2t
