// The reflections of a standard as ticks on the preview: read from the standard file, and placed
// on the plot's abscissa, which is 2-theta itself or the channel that maps to it.
#pragma once

#include <string>
#include <vector>

#include "ui/PreviewScan.h"

namespace s2t::ui {

// The reflection 2-theta values of the standard file at path; empty, with why set, when it cannot
// be read or holds none.
std::vector<double> standardReflections(const std::string& path, std::string& why);

// Where each reflection lies on the abscissa of data: the reflection itself on a 2-theta plot;
// on a channel plot the channel whose 2-theta it is, between the two points that bracket it
// (the angles of a scan run one way). Reflections outside the scan are left out.
std::vector<double> reflectionPositions(const std::vector<double>& reflections, const PreviewData& data);

}  // namespace s2t::ui
