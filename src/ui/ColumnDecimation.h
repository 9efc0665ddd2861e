// The points of a long scan worth drawing at a given width: per pixel column the first, lowest,
// highest and last point, which draw the same picture as every point would (a 32767-point scan
// on 800 columns becomes at most 3200 points), and every point when there are few enough.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace s2t::ui {

// Indices into x and y (x ascending) of the points to draw for abscissae low..high over `columns`
// pixel columns, in ascending order. The nearest point outside each end is included, so that the
// line runs on to the plot's edges.
std::vector<std::size_t> decimatedIndices(std::span<const double> x, std::span<const double> y, double low, double high,
                                          int columns);

}  // namespace s2t::ui
