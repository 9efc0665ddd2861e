#include "ui/SplinePanel.h"

#include <algorithm>
#include <vector>

#include "calibration/SplineProgress.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "ui/NumberEntry.h"
#include "ui/PanelMessages.h"

namespace s2t::ui {
namespace {

// Why points cannot make the calibration spline: two of them on one channel leave an interval of
// no width, and every conversion through the spline would then fail. Empty when they can.
std::string sharedChannelRefusal(std::vector<CalibrationPoint> points) {
    std::sort(points.begin(), points.end(),
              [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.channel < b.channel; });
    const auto shared =
        std::adjacent_find(points.begin(), points.end(),
                           [](const CalibrationPoint& a, const CalibrationPoint& b) { return a.channel == b.channel; });
    if (shared == points.end()) return {};
    return messages::channelListedTwice(formatFixed(shared->channel, 4));
}

}  // namespace

SplinePanel::SplinePanel(QWidget* parent, Session& session, Platform& platform,
                         std::function<void()> onCalibrationChanged)
        : PointsPanel(parent, session, platform, std::move(onCalibrationChanged)) {
    setWindowTitle(QString::fromUtf8(messages::kSplineTitle));
    // Points beyond the table's 512 slots are not listed.
    for (const CalibrationPoint& p : session_.calibration.calPoints)
        appendPoint(p.twoTheta, p.channel, ItemSpacing::OneSpace);
    listChanged();
}

PointsPanelDimming SplinePanel::dimming() const { return splinePanelDimming(points_.count()); }

void SplinePanel::addFromEntries() {
    const double twoTheta = twoThetaEntry()->value();
    const double channel = channelEntry()->value();
    twoThetaEntry()->setValue(0.0);
    channelEntry()->setValue(0.0);
    addPoint(twoTheta, channel, ItemSpacing::TwoSpaces);
}

bool SplinePanel::commit() {
    std::vector<CalibrationPoint> points = points_.inSlotOrder();
    if (const std::string refusal = sharedChannelRefusal(points); !refusal.empty()) {
        platform_.messagePopup(messages::kNotPossible, refusal);
        return false;
    }
    CalibrationState& calibration = session_.calibration;
    calibration.calPoints = std::move(points);
    splineWithProgress(std::span<CalibrationPoint>(calibration.calPoints), true, {&platform_, nullptr});
    noteOrigin();
    return true;
}

void SplinePanel::commitAndClose() {
    // A refused commit has said why; the panel stays open with its points.
    if (!commit()) return;
    calibrationChanged();
    accept();
}

void SplinePanel::saveAsDefault() {
    if (!platform_.confirmPopup(messages::kWarning, messages::kOverwriteDefaultOptions)) return;
    if (!commit()) return;
    writeDefaultOptions();
    calibrationChanged();
}

void SplinePanel::plottedLine(double& C, double& K, QString& name) const {
    C = session_.calibration.header.C;
    K = session_.calibration.header.K;
    name = tr("Straight line (C x channel + K)");
}

}  // namespace s2t::ui
