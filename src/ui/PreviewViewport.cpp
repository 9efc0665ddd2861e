#include "ui/PreviewViewport.h"

#include <algorithm>
#include <cmath>

namespace s2t::ui {
namespace {

// The narrowest view: a millionth of the data, far below one point of a 32767-point scan and far
// above the rounding of a double, so that the axis always has ticks to show.
constexpr double kNarrowest = 1e-6;

// range moved (not resized) into extent, or extent itself when it is wider.
AxisRange within(AxisRange range, const AxisRange& extent) {
    const double minimum = extent.span() * kNarrowest;
    if (!(range.span() >= minimum)) {
        const double middle = (range.low + range.high) / 2.0;
        range = {middle - minimum / 2.0, middle + minimum / 2.0};
    }
    if (range.span() >= extent.span()) return extent;
    if (range.low < extent.low) range = {extent.low, extent.low + range.span()};
    if (range.high > extent.high) range = {extent.high - range.span(), extent.high};
    return range;
}

AxisRange scaledAbout(const AxisRange& range, double about, double factor) {
    return {about - (about - range.low) * factor, about + (range.high - about) * factor};
}

}  // namespace

void PreviewViewport::setExtent(const AxisRange& x, const AxisRange& counts) {
    xExtent_ = x;
    countExtent_ = counts;
    reset();
}

void PreviewViewport::changeExtent(const AxisRange& x, const AxisRange& counts) {
    const bool keepX = !(x_ == xExtent_) && x_.low >= x.low && x_.high <= x.high;
    xExtent_ = x;
    countExtent_ = counts;
    x_ = keepX ? x_ : xExtent_;
    counts_ = countExtent_;
    countsFollowData_ = true;
}

void PreviewViewport::fitCounts(const AxisRange& counts) {
    if (countsFollowData_) counts_ = counts;
}

AxisRange PreviewViewport::clampedX(AxisRange range) const { return within(range, xExtent_); }

AxisRange PreviewViewport::clampedCounts(AxisRange range) const { return within(range, countExtent_); }

void PreviewViewport::zoomAbout(double about, double factor) {
    if (!(factor > 0.0) || !std::isfinite(about)) return;
    x_ = clampedX(scaledAbout(x_, about, factor));
}

void PreviewViewport::zoomCountsAbout(double about, double factor) {
    if (!(factor > 0.0) || !std::isfinite(about)) return;
    counts_ = clampedCounts(scaledAbout(counts_, about, factor));
    countsFollowData_ = false;
}

void PreviewViewport::zoomTo(const AxisRange& x, const AxisRange* counts) {
    x_ = clampedX({std::min(x.low, x.high), std::max(x.low, x.high)});
    if (counts) {
        counts_ = clampedCounts({std::min(counts->low, counts->high), std::max(counts->low, counts->high)});
        countsFollowData_ = false;
    }
}

void PreviewViewport::pan(double xFraction, double countFraction) {
    if (xFraction != 0.0) {
        const double shift = x_.span() * xFraction;
        x_ = clampedX({x_.low + shift, x_.high + shift});
    }
    if (countFraction != 0.0) {
        const double shift = counts_.span() * countFraction;
        counts_ = clampedCounts({counts_.low + shift, counts_.high + shift});
        countsFollowData_ = false;
    }
}

void PreviewViewport::reset() {
    x_ = xExtent_;
    counts_ = countExtent_;
    countsFollowData_ = true;
}

}  // namespace s2t::ui
