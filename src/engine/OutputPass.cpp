#include "engine/OutputPass.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/BatchRun.h"
#include "platform/Messages.h"

namespace s2t {
namespace {

// The last grid value that an upper limit keeps, as the pass's own test (x above the maximum is
// dropped) decides it. The rule "the maximum when it lies on the grid, else the grid value below
// it" names the same value in exact arithmetic, but its quotient (maximum - start) / step is a
// rounded one: 0.16 / 0.005 gives 31.999999999999996, which names 52.155 as the last of a grid
// from 52.0 whose value 52.16 passes the limit 52.16 and is written; a quotient that rounds onto a
// whole number can name a value just above the limit, which is dropped. The rule gives the start
// of the search, which moves at most a value or two.
double lastValueNotAbove(const Grid& grid, double maximum) {
    const double q = std::trunc((maximum - grid.start) / grid.step);
    const long long lastIndex = std::max(grid.count - 1, 0LL);
    long long i = q > 0.0 ? static_cast<long long>(std::min(q, static_cast<double>(lastIndex))) : 0;
    while (i + 1 < grid.count && !(gridValue(grid, i + 1) > maximum)) ++i;
    while (i > 0 && gridValue(grid, i) > maximum) --i;
    return gridValue(grid, i);
}

}  // namespace

std::optional<Grid> chooseGrid(Scan& scan, const ConversionRequest& request, const ConversionSettings& settings,
                               Platform& platform) {
    Grid grid;
    if (!(request.options & kConstantStep)) {
        grid.count = static_cast<long long>(scan.points.size());
        return grid;
    }
    setUpForConstantStep(scan, request, settings, platform);
    grid.step = settings.constStepOpts.step;
    if (scan.points.empty()) return grid;  // nothing to resample: the header alone
    grid.start = scan.points.front().twoTheta;
    if ((request.options & kRangeLimits) && settings.theRangeOptions.minTwoTheta > grid.start)
        grid.start = settings.theRangeOptions.minTwoTheta;
    // The span is cut to whole degrees before the division.
    const double count = std::trunc(std::trunc(scan.points.back().twoTheta - grid.start) / grid.step);
    if (!(count <= kMaxGridValues)) {
        char step[64];
        auto end = std::to_chars(step, step + sizeof step, grid.step).ptr;
        platform.messagePopup(messages::kError,
                              messages::tooManyValues(request.inputFile, std::string_view(step, end - step)));
        return std::nullopt;
    }
    grid.count = count > 0.0 ? static_cast<long long>(count) : 0;
    return grid;
}

HeaderRange headerRange(const ConversionRequest& request, const ConversionSettings& settings, const Grid& grid) {
    const bool limits = (request.options & kRangeLimits) != 0;
    const double minimum = settings.theRangeOptions.minTwoTheta;
    const double maximum = settings.theRangeOptions.maxTwoTheta;
    HeaderRange range;
    range.first = grid.start;
    if (limits && minimum > grid.start) {
        const double q = (minimum - grid.start) / grid.step;
        range.first = q - std::trunc(q) == 0.0 ? minimum : grid.start + grid.step * std::trunc(q + 1.0);
    }
    // The end of the grid is its last value, so that the header announces as many values as the
    // file holds.
    const double end = gridValue(grid, grid.count - 1);
    range.last = end;
    if (limits && maximum < end) range.last = lastValueNotAbove(grid, maximum);
    return range;
}

}  // namespace s2t
