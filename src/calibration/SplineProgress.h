// A spline computed in front of the user: the wait cursor while it runs, and on a batch's progress
// display the label "Calculating Spline" with the percentage of the spline's steps at every whole
// multiple of 5, then the label "Progress" and 0 again for the pass that follows.
#pragma once

#include <span>

#include "calibration/Spline.h"
#include "platform/Messages.h"
#include "platform/Platform.h"
#include "platform/WholePercent.h"

namespace s2t {

// Who shows what while a spline is computed: the wait cursor (platform) and the progress
// indicator of a batch (progress). Either may be null.
struct SplineDisplay {
    Platform* platform = nullptr;
    ProgressDisplay* progress = nullptr;
};

// spline(points, slopeFromFit), shown on display. Fewer than two records are no computation and
// show nothing.
template <class Record>
void splineWithProgress(std::span<Record> points, bool slopeFromFit, SplineDisplay display) {
    if (points.size() < 2) {
        spline(points, slopeFromFit);
        return;
    }
    if (display.platform) display.platform->setWaitCursor(true);
    ProgressDisplay* progress = display.progress;
    if (progress) {
        progress->setValue(0.0);
        progress->setLabel(messages::kCalculatingSpline);
    }
    const long long total = static_cast<long long>(2 * points.size() - 3);
    auto percentAt = [total](long long done) { return 100.0 * static_cast<double>(done) / total; };
    WholePercent<decltype(percentAt)> whole(total, percentAt);
    spline(points, slopeFromFit, [&](long long done, long long) {
        if (!progress) return;
        // The percentage itself is computed only where it is shown.
        if (whole.at(done) % 5 == 0) progress->setValue(percentAt(done));
    });
    if (progress) {
        progress->setLabel(messages::kProgressLabel);
        progress->setValue(0.0);
    }
    if (display.platform) display.platform->setWaitCursor(false);
}

}  // namespace s2t
