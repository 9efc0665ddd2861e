#include "ui/ColumnDecimation.h"

#include <algorithm>
#include <cmath>

namespace s2t::ui {

std::vector<std::size_t> decimatedIndices(std::span<const double> x, std::span<const double> y, double low, double high,
                                          int columns) {
    std::vector<std::size_t> kept;
    if (x.empty() || x.size() != y.size() || !(high >= low)) return kept;
    // The visible points, with one neighbour outside on either side.
    std::size_t first = static_cast<std::size_t>(std::lower_bound(x.begin(), x.end(), low) - x.begin());
    std::size_t last = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), high) - x.begin());
    if (first > 0) --first;
    if (last < x.size()) ++last;
    if (first >= last) return kept;

    columns = std::max(columns, 1);
    if (last - first <= 4 * static_cast<std::size_t>(columns) || !(high > low)) {
        kept.reserve(last - first);
        for (std::size_t i = first; i < last; ++i) kept.push_back(i);
        return kept;
    }

    kept.reserve(4 * static_cast<std::size_t>(columns) + 2);
    const double perColumn = columns / (high - low);
    auto columnOf = [&](double value) {
        return static_cast<long long>(std::floor((std::clamp(value, low, high) - low) * perColumn));
    };
    std::size_t start = first;
    while (start < last) {
        const long long column = columnOf(x[start]);
        std::size_t lowest = start, highest = start, end = start + 1;
        while (end < last && columnOf(x[end]) == column) {
            if (y[end] < y[lowest]) lowest = end;
            if (y[end] > y[highest]) highest = end;
            ++end;
        }
        // First, extremes in the order they come, last: the line enters and leaves the column
        // where the scan does, and spans all of it in between.
        const std::size_t inner[2] = {std::min(lowest, highest), std::max(lowest, highest)};
        for (std::size_t index : {start, inner[0], inner[1], end - 1})
            if (kept.empty() || kept.back() < index) kept.push_back(index);
        start = end;
    }
    return kept;
}

}  // namespace s2t::ui
