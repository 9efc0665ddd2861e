#include "engine/OutputPass.h"

#include <charconv>
#include <cmath>

#include "engine/BatchRun.h"
#include "platform/Messages.h"

namespace s2t {

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
    const double end = grid.start + static_cast<double>(grid.count - 1) * grid.step;
    range.last = end;
    if (limits && maximum < end) {
        const double q = (maximum - grid.start) / grid.step;
        range.last = q - std::trunc(q) == 0.0 ? maximum : grid.start + grid.step * std::trunc(q);
    }
    return range;
}

}  // namespace s2t
